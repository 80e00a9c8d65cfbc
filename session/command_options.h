// Command-line options of one subcommand: "--name value" options, flags and
// positional arguments, checked against what the subcommand accepts.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillet::cli {

// A mistake in what the user typed or gave: one clear line on standard
// error and a non-zero exit.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure whose one line is already on standard error (the engine's
// loader showed it as a message): the command ends with exit code 1 and
// writes nothing more.
class AlreadyReported : public std::runtime_error {
 public:
  AlreadyReported() : std::runtime_error("already reported") {}
};

class Options {
 public:
  // Parses args against the accepted flags and valued options; an unknown
  // option or a valued option without its value raises UsageError, and so
  // does an output (-o, --pdf, --png, --png-file, --svg, --frp) that is the
  // same file as an input (a positional file, a --csv file, --db), before
  // anything reads or writes.
  Options(const std::vector<std::string>& args, const std::set<std::string>& flags,
          const std::set<std::string>& valued);

  bool Has(const std::string& name) const { return flags_.count(name) || values_.count(name); }
  std::optional<std::string> Value(const std::string& name) const;
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> Values(const std::string& name) const;
  // The option as a number within [minimum, maximum]; `fallback` when absent.
  double Number(const std::string& name, double minimum, double maximum, double fallback) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  void RefuseOutputOverInput() const;

  std::set<std::string> flags_;
  std::map<std::string, std::string> values_;
  std::map<std::string, std::vector<std::string>> repeated_;
  std::vector<std::string> positional_;
};

// Exactly one of `names` must be given; returns it.
std::string OneOf(const Options& options, const std::vector<std::string>& names);

}  // namespace quillet::cli
