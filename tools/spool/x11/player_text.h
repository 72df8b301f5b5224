// The player's pure parts, apart from GStreamer and X: the one line shown when a file cannot be
// played, and play times.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace spool {

// Where an error comes from, by the error domains of the media framework.
enum class ErrorDomain { core, library, resource, stream, other };

// The codes of those domains the player tells apart; their values are the framework's own
// (checked against its headers where the player is built).
constexpr int coreMissingPlugin = 12;
constexpr int resourceNotFound = 3;
constexpr int resourceOpenRead = 5;
constexpr int resourceRead = 9;
constexpr int resourceNotAuthorized = 15;
constexpr int streamFailed = 1;
constexpr int streamNotImplemented = 3;
constexpr int streamTypeNotFound = 4;
constexpr int streamWrongType = 5;
constexpr int streamCodecNotFound = 6;
constexpr int streamDecode = 7;
constexpr int streamDemux = 9;
constexpr int streamFormat = 11;
constexpr int streamDecrypt = 12;
constexpr int streamDecryptNoKey = 13;

// The longest line the window shows; a longer one ends in "...".
constexpr std::size_t failureLineLimit = 90;

// One line saying why the file does not play: what kind of failure, then the framework's own
// message (its first line only), at most failureLineLimit characters.
std::string FailureLine(ErrorDomain domain, int code, std::string_view message);

// text with every byte that is not part of a UTF-8 character replaced by U+FFFD, so that a
// name in some other encoding is drawn whole rather than stopping at its first such byte.
std::string ValidUtf8(std::string_view text);

// A play time as "m:ss", or "h:mm:ss" from an hour on; a negative (unknown) time as "-:--".
std::string FormatPlayTime(std::int64_t nanoseconds);

// "position / duration", as "0:03 / 0:10".
std::string ProgressLine(std::int64_t position, std::int64_t duration);

}  // namespace spool
