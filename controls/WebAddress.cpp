#include "controls/WebAddress.h"

#include <array>
#include <cstddef>

#include "platform/ModalHook.h"
#include "platform/WindowCalls.h"

namespace {

// Each byte is mixed with a key that moves along the text, so the address never appears as
// one readable string in the program file.
constexpr unsigned char KeyAt(std::size_t index) {
  return static_cast<unsigned char>(0xA7 + 29 * index);
}

template <std::size_t N>
constexpr std::array<unsigned char, N - 1> Scramble(const char (&text)[N]) {
  std::array<unsigned char, N - 1> scrambled{};
  for (std::size_t i = 0; i + 1 < N; ++i)
    scrambled[i] = static_cast<unsigned char>(text[i]) ^ KeyAt(i);
  return scrambled;
}

// Evaluated by the compiler: only the scrambled bytes are in the program.
constexpr auto scrambledAddress = Scramble("https://www.vidmora.com/");

}  // namespace

std::string WebAddress::address() const {
  std::string text(scrambledAddress.size(), '\0');
  for (std::size_t i = 0; i < scrambledAddress.size(); ++i)
    text[i] = static_cast<char>(scrambledAddress[i] ^ KeyAt(i));
  return text;
}

void WebAddress::openDownloads() const {
  ShellExecuteA(nullptr, nullptr, address().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
