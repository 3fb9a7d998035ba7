#include "core/library/song_query.h"

#include <limits>
#include <optional>

#include "core/messages.h"
#include "core/text/compare.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

using Term = SongQueryTerm;
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min() / 2;
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max() / 2;
// More digits than any cell holds; also keeps every value far from overflow.
constexpr std::size_t kMaxDigits = 9;

struct Token {
  std::string text;  // UTF-8, quotes removed
  bool quoted = false;
};

// Splits at ASCII white space and the full-width space; double quotes keep spaces inside a token.
std::variant<std::vector<Token>, SongQueryError> Tokenize(std::string_view utf8) {
  static constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
  std::vector<Token> tokens;
  Token current;
  bool inToken = false, inQuotes = false;
  std::size_t quoteStart = 0;
  auto finish = [&] {
    if (inToken) tokens.push_back(std::move(current));
    current = {};
    inToken = false;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const char c = utf8[i];
    if (c == '"') {
      if (!inQuotes) quoteStart = i;
      inQuotes = !inQuotes;
      current.quoted = inToken = true;
      ++i;
      continue;
    }
    if (!inQuotes) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        finish();
        ++i;
        continue;
      }
      if (utf8.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
        finish();
        i += kIdeographicSpace.size();
        continue;
      }
    }
    current.text += c;
    inToken = true;
    ++i;
  }
  if (inQuotes) return SongQueryError{SongQueryError::kUnclosedQuote, std::string(utf8.substr(quoteStart))};
  finish();
  return tokens;
}

std::optional<std::int64_t> Digits(std::string_view s) {
  if (s.empty() || s.size() > kMaxDigits) return std::nullopt;
  std::int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// Hundredths: "180" and "180.00" are 18000, "97.5" is 9750.
std::optional<std::int64_t> Hundredths(std::string_view s) {
  const auto dot = s.find('.');
  const auto whole = Digits(s.substr(0, dot));
  if (!whole) return std::nullopt;
  if (dot == std::string_view::npos) return *whole * 100;
  const std::string_view frac = s.substr(dot + 1);
  if (frac.empty() || frac.size() > 2) return std::nullopt;
  const auto f = Digits(frac);
  if (!f) return std::nullopt;
  return *whole * 100 + (frac.size() == 1 ? *f * 10 : *f);
}

// Seconds: "2:05" or "125".
std::optional<std::int64_t> Seconds(std::string_view s) {
  const auto colon = s.find(':');
  if (colon == std::string_view::npos) return Digits(s);
  const auto minutes = Digits(s.substr(0, colon));
  const std::string_view sec = s.substr(colon + 1);
  const auto seconds = sec.size() == 2 ? Digits(sec) : std::nullopt;
  if (!minutes || !seconds || *seconds >= 60) return std::nullopt;
  return *minutes * 60 + *seconds;
}

std::optional<std::int64_t> Value(Term::Field field, std::string_view s) {
  switch (field) {
    case Term::kBpm:
      return Hundredths(s);
    case Term::kTime:
      return Seconds(s);
    default:
      return Digits(s);
  }
}

std::optional<Term::Field> FieldNamed(std::string_view name) {
  const std::string lower = LowerAscii(name);
  if (lower == "id") return Term::kId;
  if (lower == "easy") return Term::kEasy;
  if (lower == "normal") return Term::kNormal;
  if (lower == "hard") return Term::kHard;
  if (lower == "bpm") return Term::kBpm;
  if (lower == "time") return Term::kTime;
  return std::nullopt;
}

std::variant<Term, SongQueryError> FieldTerm(Term::Field field, std::string_view value,
                                             const std::string& token) {
  Term term;
  term.field = field;
  if (value.empty()) return SongQueryError{SongQueryError::kEmptyValue, token};
  const SongQueryError bad{SongQueryError::kBadNumber, token};
  struct Comparison {
    std::string_view op;
    std::int64_t lowShift, highShift;  // applied to the value: > is >= value + 1
    bool hasLow, hasHigh;
  };
  static constexpr Comparison kComparisons[] = {
      {">=", 0, 0, true, false}, {"<=", 0, 0, false, true}, {">", 1, 0, true, false},
      {"<", 0, -1, false, true}, {"=", 0, 0, true, true},
  };
  for (const Comparison& c : kComparisons) {
    if (!value.starts_with(c.op)) continue;
    const auto v = Value(field, value.substr(c.op.size()));
    if (!v) return bad;
    term.low = c.hasLow ? *v + c.lowShift : kMin;
    term.high = c.hasHigh ? *v + c.highShift : kMax;
    return term;
  }
  if (const auto dash = value.find('-'); dash != std::string_view::npos) {
    const auto low = Value(field, value.substr(0, dash));
    const auto high = Value(field, value.substr(dash + 1));
    if (!low || !high) return bad;
    if (*low > *high) return SongQueryError{SongQueryError::kRangeReversed, token};
    term.low = *low;
    term.high = *high;
    return term;
  }
  const auto v = Value(field, value);
  if (!v) return bad;
  term.low = term.high = *v;
  return term;
}

std::optional<std::int64_t> CellValue(const SongRow& row, Term::Field field) {
  switch (field) {
    case Term::kId:
      return Digits(row.cells[kColId]);
    case Term::kEasy:
      return Digits(row.cells[kColEasy]);
    case Term::kNormal:
      return Digits(row.cells[kColNormal]);
    case Term::kHard:
      return Digits(row.cells[kColHard]);
    case Term::kBpm:
      return Hundredths(row.cells[kColBpm]);
    case Term::kTime:
      return Seconds(row.cells[kColTime]);
    case Term::kText:
      break;
  }
  return std::nullopt;
}

bool Holds(const SongRow& row, const Term& term) {
  if (term.field == Term::kText)
    return ContainsGbkText(row.cells[kColTitle], term.text) ||
           ContainsGbkText(row.cells[kColNoter], term.text);
  const auto v = CellValue(row, term.field);
  return v && *v >= term.low && *v <= term.high;
}

}  // namespace

bool ContainsGbkText(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  for (std::size_t start = 0; start < haystack.size(); start += GbkCharLength(haystack, start)) {
    std::size_t h = start, n = 0;
    while (n < needle.size() && h < haystack.size()) {
      const std::size_t hl = GbkCharLength(haystack, h), nl = GbkCharLength(needle, n);
      if (hl != nl) break;
      // Only a single-byte character is a letter; a trail byte in 'A'..'Z' is part of a Chinese character.
      if (hl == 1 ? LowerAscii(haystack[h]) != LowerAscii(needle[n])
                  : haystack.substr(h, 2) != needle.substr(n, 2))
        break;
      h += hl;
      n += nl;
    }
    if (n == needle.size()) return true;
  }
  return false;
}

std::variant<SongQuery, SongQueryError> ParseSongQuery(std::string_view utf8) {
  auto tokens = Tokenize(utf8);
  if (auto* error = std::get_if<SongQueryError>(&tokens)) return *error;
  SongQuery query;
  for (const Token& token : std::get<std::vector<Token>>(tokens)) {
    const auto colon = token.text.find(':');
    const auto field = token.quoted || colon == std::string::npos || colon == 0
                           ? std::nullopt
                           : FieldNamed(std::string_view(token.text).substr(0, colon));
    if (field) {
      auto term = FieldTerm(*field, std::string_view(token.text).substr(colon + 1), token.text);
      if (auto* error = std::get_if<SongQueryError>(&term)) return *error;
      query.terms.push_back(std::get<Term>(term));
      continue;
    }
    std::string unmappable;
    auto gbk = GbkFromUtf8(token.text, &unmappable);
    if (!gbk) return SongQueryError{SongQueryError::kNotGbk, unmappable};
    if (gbk->empty()) continue;  // "" searches for nothing in particular
    Term term;
    term.text = std::move(*gbk);
    query.terms.push_back(std::move(term));
  }
  return query;
}

std::string SongQueryErrorTextUtf8(const SongQueryError& error) {
  std::string_view lead;
  switch (error.kind) {
    case SongQueryError::kNotGbk:
      lead = msg::kQueryNotGbk;
      break;
    case SongQueryError::kUnclosedQuote:
      lead = msg::kQueryUnclosedQuote;
      break;
    case SongQueryError::kEmptyValue:
      lead = msg::kQueryEmptyValue;
      break;
    case SongQueryError::kBadNumber:
      lead = msg::kQueryBadNumber;
      break;
    case SongQueryError::kRangeReversed:
      lead = msg::kQueryRangeReversed;
      break;
  }
  return std::string(lead) + error.term;
}

std::string MatchCountTextUtf8(std::size_t matches) {
  return std::string(msg::kQueryMatchesBefore) + std::to_string(matches) +
         std::string(msg::kQueryMatchesAfter);
}

bool MatchesSongQuery(const SongRow& row, const SongQuery& query) {
  if (query.terms.empty()) return false;
  for (const Term& term : query.terms)
    if (!Holds(row, term)) return false;
  return true;
}

std::vector<std::size_t> MatchingRows(const SongTable& table, const SongQuery& query) {
  std::vector<std::size_t> rows;
  for (std::size_t r = 0; r < table.Size(); ++r)
    if (MatchesSongQuery(table.Row(r), query)) rows.push_back(r);
  return rows;
}

std::size_t TickMatching(SongTable& table, const SongQuery& query, bool tick) {
  const auto rows = MatchingRows(table, query);
  for (std::size_t r : rows) table.SetTicked(r, tick);
  return rows.size();
}

}  // namespace vx
