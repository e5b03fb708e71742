#include "app/ConverterApp.h"

namespace {
ConverterApp theApp;
}  // namespace

// Command-line arguments are ignored: the program takes its files from the Add command only.
int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
