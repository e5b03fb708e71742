#include "tests/encoder/ProgramRules.h"

#include <cstdlib>

namespace encoder_test {

int durationByProgramRule(const std::string& text) {
  const auto at = text.find("Duration: ");
  if (at == std::string::npos || text.size() < at + 18) return 0;
  auto field = [&](std::size_t offset) { return std::atoi(text.substr(at + offset, 2).c_str()); };
  return field(10) * 3600 + field(13) * 60 + field(16);
}

std::vector<int> timeFiguresByProgramRule(const std::vector<std::string>& chunks) {
  std::vector<int> figures;
  for (const auto& chunk : chunks) {
    const auto at = chunk.find("time=");
    if (at == std::string::npos) continue;
    const auto dot = chunk.find('.', at);
    if (dot == std::string::npos) continue;
    figures.push_back(std::atoi(chunk.substr(at + 5, dot - at - 5).c_str()));
  }
  return figures;
}

}  // namespace encoder_test
