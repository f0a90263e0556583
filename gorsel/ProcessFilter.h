// Which processes a start-up value selects. A value names a program as a
// start-up value holds it (quotes, arguments); a process is selected when
// its image is that program, never by a mere part of its path, and never
// when the guard protects it. A value that starts a Windows program or a
// host of scripts selects nothing: every process of that program would be
// someone else's too.
#pragma once

#include <string>

#include "gorsel/SystemGuard.h"

namespace gorsel {

// The program a start-up value starts: the quoted part, or the text up to
// the end of its first blank-separated word that ends in a program
// extension, or else its first word. Empty for a value without a program.
// Linear in the value's length.
std::string ProgramOfValue(const std::string& value);

// True for the name of a program that runs what others wrote (scripts,
// command lines, Java archives), with or without its ".exe".
bool IsScriptHostName(const std::string& fileName);

class ProcessFilter {
 public:
  ProcessFilter(const std::string& value, const SystemGuard& guard);

  // The value starts a Windows program or a host of scripts.
  bool StartsAHost() const { return startsAHost_; }
  // The program as the value names it.
  const std::string& program() const { return program_; }
  bool Selects(const std::string& imagePath) const;

 private:
  const SystemGuard& guard_;
  std::string program_;
  std::string wanted_;  // resolved, lower case
  bool byName_ = false;
  bool startsAHost_ = false;
};

}  // namespace gorsel
