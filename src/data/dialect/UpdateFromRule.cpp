// UpdateFromRule: see the header.
#include "data/dialect/UpdateFromRule.h"

#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

bool IsName(const Token& t) { return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName; }

bool SameName(std::string_view a, std::string_view b) {
  auto strip = [](std::string_view s) {
    if (s.size() >= 2 && (s.front() == '[' || s.front() == '"')) return s.substr(1, s.size() - 2);
    return s;
  };
  Token t;
  t.text = strip(a);
  return t.IsWord(strip(b));
}

bool IsJoinWord(const Token& t) {
  return t.IsWord("inner") || t.IsWord("left") || t.IsWord("right") || t.IsWord("full") || t.IsWord("cross") ||
         t.IsWord("join") || t.IsWord("outer");
}

void Append(std::vector<Token>& out, const TokenList& tokens, size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) out.push_back(tokens[i]);
}

}  // namespace

void UpdateFromRule::Apply(TokenList& tokens, const RuleContext&) const {
  if (tokens.empty() || !tokens[0].IsWord("update")) return;
  const size_t set = tokens.FindWord("set", 1, tokens.size());
  if (set == TokenList::npos) return;
  UnqualifySet(tokens, set);
  const size_t from = tokens.FindWord("from", set, tokens.size());
  if (from != TokenList::npos) RewriteFrom(tokens, set, from);
}

// SET a.b = x, c.d = y  ->  SET b = x, d = y
void UpdateFromRule::UnqualifySet(TokenList& tokens, size_t set) {
  size_t start = set + 1;
  int depth = 0;
  for (size_t i = set + 1; i <= tokens.size(); ++i) {
    const Token& t = tokens.At(i);
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen) --depth;
    const bool clauseEnd = i == tokens.size() || (depth == 0 && (t.IsWord("from") || t.IsWord("where")));
    if (depth == 0 && (t.kind == TokenKind::Comma || clauseEnd)) {
      // Assignment [start, i): name(.name)* = value
      size_t eq = start;
      while (eq + 1 < i && IsName(tokens[eq]) && tokens[eq + 1].kind == TokenKind::Dot) eq += 2;
      // eq < i: a name cut short after its dot ("set t.") is left to the engine's syntax error.
      if (eq > start && eq < i && IsName(tokens[eq]) && tokens.At(eq + 1).IsOp("=")) {
        const bool blank = tokens[start].blankBefore;
        const size_t removed = eq - start;
        tokens.Erase(start, eq);
        tokens[start].blankBefore = blank;
        i -= removed;
      }
      start = i + 1;
      if (clauseEnd) break;
    }
  }
}

std::vector<UpdateFromRule::Source> UpdateFromRule::Sources(const TokenList& tokens, size_t from, size_t end) {
  std::vector<Source> sources;
  size_t i = from + 1;
  while (i < end) {
    Source s;
    s.joinFirst = i;
    if (!sources.empty()) {
      if (tokens[i].kind == TokenKind::Comma) {
        ++i;
      } else {
        bool inner = true;
        while (i < end && IsJoinWord(tokens[i]) && !tokens[i].IsWord("join")) {
          if (!tokens[i].IsWord("inner")) inner = false;
          ++i;
        }
        if (!tokens.At(i).IsWord("join")) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + std::string(tokens.At(i).text) + "'.");
        ++i;
        s.innerOrComma = inner;
      }
    }
    s.first = i;
    if (tokens.At(i).kind == TokenKind::LParen) {
      i = tokens.MatchParen(i) + 1;
      s.name = TokenList::npos;
    } else {
      i = tokens.OperandEnd(i);
      s.name = i - 1;
    }
    if (tokens.At(i).IsWord("as")) ++i;
    if (i < end && IsName(tokens[i]) && !TokenList::IsReserved(tokens[i])) s.alias = i++;
    s.last = i;
    if (tokens.At(i).IsWord("on")) {
      s.onFirst = ++i;
      int depth = 0;
      for (; i < end; ++i) {
        if (tokens[i].kind == TokenKind::LParen) ++depth;
        if (tokens[i].kind == TokenKind::RParen) --depth;
        if (depth == 0 && (tokens[i].kind == TokenKind::Comma || IsJoinWord(tokens[i]))) break;
      }
      s.onLast = i;
    }
    sources.push_back(s);
  }
  return sources;
}

void UpdateFromRule::RewriteFrom(TokenList& tokens, size_t set, size_t from) {
  const size_t where = tokens.FindWord("where", from, tokens.size());
  const size_t end = where == TokenList::npos ? tokens.size() : where;
  const std::vector<Source> sources = Sources(tokens, from, end);
  const std::string_view target = tokens[set - 1].text;
  size_t k = 0;
  for (; k < sources.size(); ++k) {
    const Source& s = sources[k];
    if ((s.name != TokenList::npos && s.alias == TokenList::npos && SameName(tokens[s.name].text, target)) ||
        (s.alias != TokenList::npos && SameName(tokens[s.alias].text, target)))
      break;
  }
  if (k == sources.size()) return;  // already SQLite's form: the target is not among the sources

  // The join that ties the target to the rest becomes part of the WHERE.
  const size_t joined = k == 0 ? 1 : k;
  if (joined < sources.size() && !sources[joined].innerOrComma)
    throw ComError(ErrorNumber::ErrorsInCommand,
                   "An UPDATE through an outer join of the updated table is not supported.");
  std::vector<Token> out{tokens[0]};
  const Source& t = sources[k];
  if (t.alias != TokenList::npos && !SameName(tokens[t.alias].text, tokens[t.name].text)) {
    Append(out, tokens, t.first, t.name + 1);
    out.push_back(TokenList::Word("AS"));
    out.push_back(tokens[t.alias]);
  } else {
    Append(out, tokens, 1, set);
  }
  Append(out, tokens, set, from);

  std::vector<Token> conditions;
  bool firstSource = true;
  for (size_t n = 0; n < sources.size(); ++n) {
    if (n == k) continue;
    const Source& s = sources[n];
    const bool moveOn = n == joined;
    if (firstSource) out.push_back(tokens[from]);
    Append(out, tokens, firstSource ? s.first : s.joinFirst, s.last);
    if (s.onFirst != TokenList::npos) {
      if (moveOn) {
        Append(conditions, tokens, s.onFirst, s.onLast);
      } else {
        out.push_back(tokens[s.onFirst - 1]);
        Append(out, tokens, s.onFirst, s.onLast);
      }
    }
    firstSource = false;
  }
  if (k > 0 && t.onFirst != TokenList::npos) Append(conditions, tokens, t.onFirst, t.onLast);

  if (!conditions.empty()) {
    out.push_back(TokenList::Word("WHERE"));
    out.push_back(TokenList::Make(TokenKind::LParen, "("));
    out.insert(out.end(), conditions.begin(), conditions.end());
    out.push_back(TokenList::Close());
    if (where != TokenList::npos) {
      out.push_back(TokenList::Word("AND"));
      out.push_back(TokenList::Make(TokenKind::LParen, "("));
      Append(out, tokens, where + 1, tokens.size());
      out.push_back(TokenList::Close());
    }
  } else if (where != TokenList::npos) {
    Append(out, tokens, where, tokens.size());
  }
  if (!out.empty()) out[0].blankBefore = false;
  tokens.Replace(0, tokens.size(), std::move(out));
}

}  // namespace fabrikon::dialect
