#pragma once
// Tick by search: a small query language over the song table's cells.
//
//   星之海 ayu            free text: each word must occur in the title or in the author (NOTER)
//   "two words"           a phrase with spaces, in double quotes
//   id:7  easy:3  normal:5  hard:10-20  bpm:>180  bpm:>=97.5  time:<2:00  time:1:30-2:00  time:90
//
// Terms are separated by spaces (ASCII or full-width) and must all hold. A field takes a number, a range
// "a-b" (both ends included), or a comparison >, >=, <, <=, = with a number. Numbers are whole, except
// bpm, which takes up to two decimals; time takes M:SS or whole seconds. Field names ignore case. A word
// with a colon whose name is not one of these fields ("Re:Zero") is free text.
// Free text is matched GBK character by GBK character, never from the middle of a double-byte character,
// with ASCII letters in either case.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/library/song_table.h"

namespace vx {

struct SongQueryTerm {
  enum Field { kText, kId, kEasy, kNormal, kHard, kBpm, kTime };
  Field field = kText;
  std::string text;  // kText: GBK
  // Numeric fields: the value must lie in [low, high]. bpm counts hundredths, time seconds.
  std::int64_t low = 0;
  std::int64_t high = 0;
};

struct SongQuery {
  std::vector<SongQueryTerm> terms;  // none: the query matches no row
};

struct SongQueryError {
  enum Kind {
    kNotGbk,         // a character GBK lacks (the term holds it, UTF-8)
    kUnclosedQuote,  // a " without its partner
    kEmptyValue,     // "hard:" with nothing after it
    kBadNumber,      // not a number of the field's kind
    kRangeReversed,  // "hard:20-10"
  };
  Kind kind;
  std::string term;  // UTF-8, the offending term or character as typed
};

// Parses a query typed by a person (UTF-8, from the keyboard). Never throws.
std::variant<SongQuery, SongQueryError> ParseSongQuery(std::string_view utf8);

// The error as one line the window's status bar can show. UTF-8, unlike the core's other texts: it quotes
// what was typed, which may hold a character GBK lacks.
std::string SongQueryErrorTextUtf8(const SongQueryError& error);

// The status bar's count while a valid query is typed: "符合条件的歌曲:12首". UTF-8, as the error text is,
// so the status bar takes both the same way.
std::string MatchCountTextUtf8(std::size_t matches);

bool MatchesSongQuery(const SongRow& row, const SongQuery& query);

// Positions of the rows that match, in table order.
std::vector<std::size_t> MatchingRows(const SongTable& table, const SongQuery& query);

// Ticks (or unticks) every matching row; others keep their ticks. Returns the number of matching rows.
std::size_t TickMatching(SongTable& table, const SongQuery& query, bool tick);

// Whether `needle` occurs in `haystack`, both GBK, starting at a character boundary of `haystack` and
// comparing whole characters, ASCII letters without regard to case. An empty needle occurs everywhere.
bool ContainsGbkText(std::string_view haystack, std::string_view needle);

}  // namespace vx
