#include "logic/EditMask.h"

#include <algorithm>
#include <cwctype>

TEditMask::TEditMask(std::wstring_view mask) {
    // The fields are separated by the last two semicolons; a semicolon inside the mask itself is escaped.
    std::wstring_view body = mask;
    std::vector<std::wstring_view> fields;
    for (int i = 0; i < 2; ++i) {
        const std::size_t semicolon = body.rfind(L';');
        if (semicolon == std::wstring_view::npos || (semicolon > 0 && body[semicolon - 1] == L'\\')) break;
        fields.insert(fields.begin(), body.substr(semicolon + 1));
        body = body.substr(0, semicolon);
    }
    if (!fields.empty()) FSaveLiterals = fields[0] != L"0";
    if (fields.size() > 1 && !fields[1].empty()) FBlank = fields[1][0];

    TCase letterCase = TCase::Keep;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const wchar_t c = body[i];
        auto input = [&](TKind kind, bool required) { FPositions.push_back({kind, L'\0', required, letterCase}); };
        switch (c) {
            case L'0':
                input(TKind::Digit, true);
                break;
            case L'9':
                input(TKind::Digit, false);
                break;
            case L'#':
                input(TKind::DigitOrSign, false);
                break;
            case L'L':
                input(TKind::Letter, true);
                break;
            case L'l':
                input(TKind::Letter, false);
                break;
            case L'A':
                input(TKind::AlphaNum, true);
                break;
            case L'a':
                input(TKind::AlphaNum, false);
                break;
            case L'C':
                input(TKind::Any, true);
                break;
            case L'c':
                input(TKind::Any, false);
                break;
            case L'!':
                break;
            case L'>':
                letterCase = TCase::Upper;
                break;
            case L'<':
                if (i + 1 < body.size() && body[i + 1] == L'>') {
                    letterCase = TCase::Keep;
                    ++i;
                } else {
                    letterCase = TCase::Lower;
                }
                break;
            case L'\\':
                if (i + 1 < body.size()) FPositions.push_back({TKind::Literal, body[++i], false, TCase::Keep});
                break;
            case L'_':
                FPositions.push_back({TKind::Literal, L' ', false, TCase::Keep});
                break;
            default:
                FPositions.push_back({TKind::Literal, c, false, TCase::Keep});
                break;
        }
    }
}

bool TEditMask::IsLiteral(std::size_t position) const {
    return position < FPositions.size() && FPositions[position].kind == TKind::Literal;
}

std::optional<wchar_t> TEditMask::Accept(const TPosition& position, wchar_t ch) const {
    auto digit = [](wchar_t c) -> std::optional<wchar_t> {
        if (c >= L'0' && c <= L'9') return c;
        if (c >= L'\x06F0' && c <= L'\x06F9') return static_cast<wchar_t>(L'0' + (c - L'\x06F0'));  // Persian
        if (c >= L'\x0660' && c <= L'\x0669') return static_cast<wchar_t>(L'0' + (c - L'\x0660'));  // Arabic-Indic
        return std::nullopt;
    };
    auto cased = [&](wchar_t c) {
        if (position.letterCase == TCase::Upper) return static_cast<wchar_t>(std::towupper(c));
        if (position.letterCase == TCase::Lower) return static_cast<wchar_t>(std::towlower(c));
        return c;
    };
    if (ch < L' ') return std::nullopt;
    switch (position.kind) {
        case TKind::Literal:
            return std::nullopt;
        case TKind::Digit:
            return digit(ch);
        case TKind::DigitOrSign:
            if (ch == L'+' || ch == L'-') return ch;
            return digit(ch);
        case TKind::Letter:
            if (std::iswalpha(ch)) return cased(ch);
            return std::nullopt;
        case TKind::AlphaNum:
            if (std::iswalpha(ch)) return cased(ch);
            return digit(ch);
        case TKind::Any:
            return cased(ch);
    }
    return std::nullopt;
}

bool TEditMask::IsLiteralCharacter(wchar_t ch) const {
    for (const TPosition& p : FPositions) {
        if (p.kind == TKind::Literal && p.literal == ch) return true;
    }
    return false;
}

std::size_t TEditMask::NextInput(std::size_t position) const {
    while (position < FPositions.size() && FPositions[position].kind == TKind::Literal) ++position;
    return position;
}

std::wstring TEditMask::EmptyText() const {
    std::wstring text;
    for (const TPosition& p : FPositions) text += p.kind == TKind::Literal ? p.literal : FBlank;
    return text;
}

std::wstring TEditMask::Format(std::wstring_view text) const {
    std::wstring result = EmptyText();
    std::size_t i = 0;
    for (std::size_t pos = 0; pos < FPositions.size(); ++pos) {
        const TPosition& p = FPositions[pos];
        if (p.kind == TKind::Literal) {
            if (i < text.size() && text[i] == p.literal) ++i;
            continue;
        }
        while (i < text.size()) {
            const wchar_t c = text[i];
            if (c == FBlank || c == L' ') {
                ++i;
                break;
            }
            if (auto accepted = Accept(p, c)) {
                result[pos] = *accepted;
                ++i;
                break;
            }
            // A literal of the mask ends the group: the rest of it stays unfilled.
            if (IsLiteralCharacter(c)) break;
            ++i;
        }
    }
    return result;
}

std::wstring TEditMask::Value(std::wstring_view editText) const {
    const std::wstring text = Normalised(editText);
    std::wstring value;
    for (std::size_t pos = 0; pos < FPositions.size(); ++pos) {
        if (FPositions[pos].kind == TKind::Literal) {
            if (FSaveLiterals) value += text[pos];
        } else {
            value += text[pos] == FBlank ? L' ' : text[pos];
        }
    }
    return value;
}

std::wstring TEditMask::Normalised(std::wstring_view editText) const {
    return editText.size() == FPositions.size() ? std::wstring(editText) : Format(editText);
}

void TEditMask::Clear(std::wstring& text, std::size_t start, std::size_t end) const {
    for (std::size_t pos = start; pos < end && pos < FPositions.size(); ++pos) {
        if (FPositions[pos].kind != TKind::Literal) text[pos] = FBlank;
    }
}

std::optional<TEditMask::TEdit> TEditMask::Type(std::wstring_view editText, std::size_t start, std::size_t end,
                                                wchar_t ch) const {
    std::wstring text = Normalised(editText);
    const std::size_t length = FPositions.size();
    if (start > end) std::swap(start, end);
    start = std::min(start, length);
    end = std::min(end, length);
    Clear(text, start, end);

    const std::size_t target = NextInput(start);
    if (target < length) {
        if (auto accepted = Accept(FPositions[target], ch)) {
            text[target] = *accepted;
            return TEdit{text, NextInput(target + 1)};
        }
    }
    // The literal just passed (the caret skips literals after a group is full) takes its own character silently.
    if (start > 0 && IsLiteral(start - 1) && FPositions[start - 1].literal == ch) return TEdit{text, start};
    // The next literal ahead: typing it leaves the rest of the group unfilled and goes on after it.
    std::size_t literal = start;
    while (literal < length && !IsLiteral(literal)) ++literal;
    if (literal < length && FPositions[literal].literal == ch) return TEdit{text, NextInput(literal + 1)};
    return std::nullopt;
}

TEditMask::TEdit TEditMask::Paste(std::wstring_view editText, std::size_t start, std::size_t end,
                                  std::wstring_view pasted) const {
    TEdit edit{Normalised(editText), std::min(std::min(start, end), FPositions.size())};
    Clear(edit.text, edit.caret, std::max(start, end));
    for (wchar_t c : pasted) {
        if (auto typed = Type(edit.text, edit.caret, edit.caret, c)) edit = *typed;
    }
    return edit;
}

TEditMask::TEdit TEditMask::Erase(std::wstring_view editText, std::size_t start, std::size_t end,
                                  bool backwards) const {
    TEdit edit{Normalised(editText), std::min(std::min(start, end), FPositions.size())};
    const std::size_t length = FPositions.size();
    if (std::max(start, end) > edit.caret) {
        Clear(edit.text, edit.caret, std::max(start, end));
        return edit;
    }
    std::size_t at;
    if (backwards) {
        std::size_t pos = edit.caret;
        while (pos > 0 && IsLiteral(pos - 1)) --pos;
        if (pos == 0) return edit;
        at = pos - 1;
        edit.caret = at;
    } else {
        at = NextInput(edit.caret);
        if (at >= length) return edit;
    }
    // The rest of the group moves up by one.
    std::size_t pos = at;
    while (pos + 1 < length && !IsLiteral(pos + 1)) {
        edit.text[pos] = edit.text[pos + 1];
        ++pos;
    }
    edit.text[pos] = FBlank;
    return edit;
}
