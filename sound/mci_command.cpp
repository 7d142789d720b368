#include "sound/mci_command.h"

#include <algorithm>
#include <cctype>

namespace qs {
namespace {

struct Token {
  std::size_t begin, end;
};

std::vector<Token> tokens(const std::string& s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i == s.size()) break;
    std::size_t b = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    out.push_back({b, i});
  }
  return out;
}

}  // namespace

std::string lowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::optional<std::string> MciCommand::after(const std::string& keyword) const {
  auto it = std::find(words.begin(), words.end(), keyword);
  if (it == words.end() || it + 1 == words.end()) return std::nullopt;
  return *(it + 1);
}

bool MciCommand::has(const std::string& keyword) const {
  return std::find(words.begin(), words.end(), keyword) != words.end();
}

std::optional<MciCommand> parseMciCommand(const std::string& text) {
  auto toks = tokens(text);
  if (toks.empty()) return std::nullopt;
  auto word = [&](std::size_t i) { return text.substr(toks[i].begin, toks[i].end - toks[i].begin); };
  MciCommand c;
  c.verb = lowerCase(word(0));
  if (c.verb == "open") {
    // "open FILE [type T] [alias A]": the keywords are taken off the end, and
    // what stays is the file name, blanks and all.
    std::size_t n = toks.size();
    while (n >= 3) {
      std::string key = lowerCase(word(n - 2));
      if (key == "alias") c.device = word(n - 1);
      else if (key == "type") c.type = lowerCase(word(n - 1));
      else break;
      n -= 2;
    }
    if (n >= 2) {
      c.file = text.substr(toks[1].begin, toks[n - 1].end - toks[1].begin);
      bool quoted = c.file.size() >= 2 && c.file.front() == '"' && c.file.back() == '"';
      if (quoted) c.file = c.file.substr(1, c.file.size() - 2);
    }
    return c;
  }
  if (toks.size() > 1) c.device = word(1);
  for (std::size_t i = 2; i < toks.size(); ++i) c.words.push_back(lowerCase(word(i)));
  return c;
}

}  // namespace qs
