#pragma once

#include <QString>

#include <string_view>

// Text from outside the program — file and folder names, log lines — as
// one line that the controls can show. Bytes that are not UTF-8, control
// characters (line feeds, carriage returns, tabs, ...), line and paragraph
// separators and unpaired surrogates each give way to U+FFFD, so such text
// never breaks into two lines and never hides a character.
QString ReadableText(std::string_view utf8);
QString ReadableText(QString text);
