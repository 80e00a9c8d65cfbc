#include "session/command_options.h"

#include "platform/output_file.h"
#include "report/base/text_format.h"

namespace quillet::cli {

Options::Options(const std::vector<std::string>& args, const std::set<std::string>& flags,
                 const std::set<std::string>& valued) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::string name = a.substr(2);
      std::optional<std::string> inlineValue;
      if (auto eq = name.find('='); eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
      if (flags.count(name)) {
        if (inlineValue) throw UsageError("option --" + name + " takes no value");
        flags_.insert(name);
      } else if (valued.count(name)) {
        if (inlineValue) {
          values_[name] = *inlineValue;
        } else {
          if (i + 1 >= args.size()) throw UsageError("option --" + name + " needs a value");
          values_[name] = args[++i];
        }
        repeated_[name].push_back(values_[name]);
      } else {
        throw UsageError("unknown option --" + name);
      }
    } else if (a == "-o" && valued.count("output")) {
      if (i + 1 >= args.size()) throw UsageError("option -o needs a file name");
      values_["output"] = args[++i];
    } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
      throw UsageError("unknown option " + a);
    } else {
      positional_.push_back(a);
    }
  }
  RefuseOutputOverInput();
}

void Options::RefuseOutputOverInput() const {
  std::vector<std::string> inputs = positional_;
  for (const std::string& csv : Values("csv"))
    if (const auto eq = csv.find('='); eq != std::string::npos)
      inputs.push_back(csv.substr(eq + 1));
  if (const auto db = Value("db")) inputs.push_back(*db);
  for (const char* name : {"output", "pdf", "png", "png-file", "svg", "frp"}) {
    const auto out = Value(name);
    if (!out) continue;
    for (const std::string& input : inputs)
      if (quillet::SameFile(*out, input))
        throw UsageError("will not write " + *out + ": it is the input file " + input +
                         " itself (nothing was run)");
  }
}

std::optional<std::string> Options::Value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> Options::Values(const std::string& name) const {
  auto it = repeated_.find(name);
  return it == repeated_.end() ? std::vector<std::string>{} : it->second;
}

double Options::Number(const std::string& name, double minimum, double maximum,
                       double fallback) const {
  auto text = Value(name);
  if (!text) return fallback;
  double v = 0;
  if (!TryStrToFloat(*text, '.', v))
    throw UsageError("--" + name + ": '" + *text + "' is not a number");
  if (v < minimum || v > maximum)
    throw UsageError("--" + name + ": " + *text + " is outside " + FloatToText(minimum, '.') +
                     " .. " + FloatToText(maximum, '.'));
  return v;
}

std::string OneOf(const Options& options, const std::vector<std::string>& names) {
  std::string found;
  std::string list;
  for (const std::string& n : names) {
    list += (list.empty() ? "--" : ", --") + n;
    if (!options.Has(n)) continue;
    if (!found.empty()) throw UsageError("give only one of " + list);
    found = n;
  }
  if (found.empty()) {
    list.clear();
    for (const std::string& n : names) list += (list.empty() ? "--" : ", --") + n;
    throw UsageError("give one of " + list);
  }
  return found;
}

}  // namespace quillet::cli
