#include "window/qt/readable_text.h"

namespace {

constexpr QChar kStandIn(0xFFFD);

bool Breaks(QChar c) {
  switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    default: return false;
  }
}

}  // namespace

QString ReadableText(std::string_view utf8) {
  // Each byte that does not belong to a UTF-8 sequence becomes U+FFFD.
  return ReadableText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QString ReadableText(QString text) {
  for (qsizetype at = 0; at < text.size(); ++at) {
    const QChar c = text[at];
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
      ++at;  // a whole character beyond the first 65536
    } else if (c.isSurrogate() || Breaks(c)) {
      text[at] = kStandIn;
    }
  }
  return text;
}
