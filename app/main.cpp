#include "app/ConverterApp.h"

namespace {
ConverterApp theApp;
}  // namespace

// The files named on the command line are added at start (ConverterApp).
int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
