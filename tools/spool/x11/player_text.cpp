// The player's pure parts: the failure line and play times.
#include "player_text.h"

#include <cstdio>

namespace spool {

namespace {

const char* FailureKind(ErrorDomain domain, int code) {
  switch (domain) {
    case ErrorDomain::resource:
      if (code == resourceNotFound) return "File not found";
      if (code == resourceOpenRead || code == resourceRead || code == resourceNotAuthorized) {
        return "File cannot be read";
      }
      break;
    case ErrorDomain::stream:
      if (code == streamTypeNotFound || code == streamWrongType) return "Not a media file";
      if (code == streamCodecNotFound || code == streamNotImplemented) return "No decoder";
      if (code == streamFailed || code == streamDecode || code == streamDemux ||
          code == streamFormat) {
        return "Damaged";
      }
      if (code == streamDecrypt || code == streamDecryptNoKey) return "Encrypted";
      break;
    case ErrorDomain::core:
      if (code == coreMissingPlugin) return "No decoder";
      break;
    default:
      break;
  }
  return "Cannot play";
}

}  // namespace

std::string FailureLine(ErrorDomain domain, int code, std::string_view message) {
  std::string_view first = message.substr(0, message.find('\n'));
  while (!first.empty() && (first.back() == ' ' || first.back() == '\r')) first.remove_suffix(1);
  std::string line = FailureKind(domain, code);
  if (!first.empty()) {
    line += ": ";
    line += first;
  }
  if (line.size() > failureLineLimit) {
    // Cut between characters, not inside one written in several bytes.
    std::size_t cut = failureLineLimit - 3;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
    line += "...";
  }
  return line;
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    // The length a lead byte announces, and the range its first continuation byte must lie in
    // (which rules out overlong forms, surrogates and code points beyond U+10FFFF).
    std::size_t length = lead < 0x80 ? 1 : 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    bool whole = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      whole = k == 1 ? next >= low && next <= high : (next & 0xC0) == 0x80;
    }
    if (whole) {
      valid.append(text.substr(i, length));
      i += length;
    } else {
      valid += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return valid;
}

std::string FormatPlayTime(std::int64_t nanoseconds) {
  if (nanoseconds < 0) return "-:--";
  std::int64_t seconds = nanoseconds / 1000000000;
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

std::string ProgressLine(std::int64_t position, std::int64_t duration) {
  return FormatPlayTime(position) + " / " + FormatPlayTime(duration);
}

}  // namespace spool
