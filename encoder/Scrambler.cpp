// scramble_encoder IN OUT: writes IN with every byte scrambled by the deployment key, the
// form in which the encoder executables ship in the program folder.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "encoder/contract/DeploymentKey.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: scramble_encoder IN OUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && in.fail()) {
    std::fprintf(stderr, "scramble_encoder: cannot read %s\n", argv[1]);
    return 1;
  }
  for (char& byte : bytes)
    byte = static_cast<char>(encoder_contract::scrambleByte(static_cast<std::uint8_t>(byte)));
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "scramble_encoder: cannot write %s\n", argv[2]);
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
