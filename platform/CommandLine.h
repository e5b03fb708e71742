#pragma once
#include <string>
#include <vector>
// One command line as text, and its arguments, by the Windows argument rules:
// blanks separate arguments outside double quotes; 2n backslashes before a quote give n
// backslashes and open or close quoting; 2n+1 backslashes before a quote give n backslashes
// and a literal quote; other backslashes are literal; "" inside quotes is a literal quote.

// The text to put between a pair of double quotes so that SplitCommandLine gives back
// exactly `argument`. Text without a double quote and without trailing backslashes is
// returned unchanged.
std::string EscapeQuotedArgument(const std::string& argument);

// Splits a command line into its arguments (the first is the program).
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
