#include "quellix/lang/LogMessages.h"

#include <array>

namespace quellix::lang {
namespace {

using T = LogTreatment;

// Whole numbers from 3 on select row number + 8.
constexpr std::array<LogMessage, 29> kLogMessages = {{
    {1.0f, 8, T::kLineBreaks},
    {2.0f, 9, T::kArgument},
    {2.5f, 10, T::kUnchanged},
    {2.75f, 0, T::kFixedEnglish, kAutoRunsText},
    {3.0f, 11, T::kUnchanged},
    {4.0f, 12, T::kArgument},
    {5.0f, 13, T::kArgument},
    {6.0f, 14, T::kArgument},
    {7.0f, 15, T::kUnchanged},
    {8.0f, 16, T::kUnchanged},
    {9.0f, 17, T::kUnchanged},
    {10.0f, 18, T::kUnchanged},
    {11.0f, 19, T::kArgument},
    {12.0f, 20, T::kArgument},
    {12.5f, 0, T::kFixedEnglish, kProcessChangedText},
    {13.0f, 21, T::kArgument},
    {14.0f, 22, T::kArgument},
    {14.5f, 0, T::kFixedEnglish, kSystemFileKeptText},
    {14.6f, 0, T::kFixedEnglish, kMatchingSystemFileKeptText},
    {14.7f, 0, T::kFixedEnglish, kProgramKeptText},
    {14.8f, 0, T::kFixedEnglish, kDesktopKeptText},
    {15.0f, 23, T::kUnchanged},
    {16.0f, 24, T::kUnchanged},
    {17.0f, 25, T::kUnchanged},
    {18.0f, 26, T::kUnchanged},
    {19.0f, 27, T::kArgument},
    {20.0f, 28, T::kUnchanged},
    {21.0f, 29, T::kUnchanged},
    {22.0f, 30, T::kUnchanged},
}};

}  // namespace

std::optional<LogMessage> FindLogMessage(float number) {
  for (const auto& message : kLogMessages) {
    if (message.number == number) return message;
  }
  return std::nullopt;
}

}  // namespace quellix::lang
