#include "host/options.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace qs {
namespace {
template <class T>
T number(const std::string& opt, const std::string& s) {
  T v{};
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size())
    throw std::invalid_argument(opt + " takes a whole number, not \"" + s + "\"");
  return v;
}
}  // namespace

Options parseOptions(const std::vector<std::string>& args, const OptionSet& set) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto own = std::find_if(set.words.begin(), set.words.end(), [&](const OptionSet::Word& w) { return w.name == a; });
    if (own != set.words.end()) {
      // A value missing at the end is the program's to name.
      const std::size_t end = std::min(args.size(), i + 1 + static_cast<std::size_t>(own->values));
      o.arguments.insert(o.arguments.end(), args.begin() + static_cast<std::ptrdiff_t>(i),
                         args.begin() + static_cast<std::ptrdiff_t>(end));
      i = end - 1;
      continue;
    }
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      return args[++i];
    };
    if (a == "--headless") o.headless = true;
    else if (a == "--help") o.help = true;
    else if (a == "--version") o.version = true;
    else if (a == "--keys" && set.window) o.keys = true;
    else if (a == "--fullscreen" && set.window) o.fullscreen = true;
    else if (a == "--script") o.script = value();
    else if (a == "--record") o.record = value();
    else if (a == "--trace") o.trace = value();
    else if (a == "--dir") o.dir = value();
    else if (a == "--seed") o.seed = number<std::uint64_t>(a, value());
    else if (a == "--until") {
      o.until = number<std::int64_t>(a, value());
      if (*o.until < 0 || *o.until > kLatestTime)
        throw std::invalid_argument("--until takes a time in ms from 0 to " + std::to_string(kLatestTime));
    } else if (a == "--scale" && set.window) {
      o.scale = number<int>(a, value());
      if (*o.scale < 0 || *o.scale > kLargestScale)
        throw std::invalid_argument("--scale takes a whole number from 0 to " + std::to_string(kLargestScale));
    } else if (a == "--screen") {
      const std::string& v = value();
      auto x = v.find('x');
      if (x == std::string::npos) throw std::invalid_argument("--screen takes WxH, for example 1024x768");
      ScreenSize s{number<int>(a, v.substr(0, x)), number<int>(a, v.substr(x + 1))};
      if (s.width < 1 || s.height < 1) throw std::invalid_argument("--screen takes a positive size");
      o.screen = s;
    } else if (a.rfind("--", 0) == 0) {
      throw std::invalid_argument("unknown option " + a);
    } else {
      o.arguments.push_back(a);
    }
  }
  if (o.headless && o.script.empty() && !o.until && !o.help && !o.version)
    throw std::invalid_argument("a headless run needs --script or --until");
  return o;
}

}  // namespace qs
