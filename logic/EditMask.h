#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules of an edit mask in the toolkit's notation "mask;saveLiterals;blank", without any window.
//
// Mask characters: 0 digit, 9 digit or nothing, # digit or sign or nothing, L letter, l letter or nothing,
// A letter or digit, a letter or digit or nothing, C any character, c any character or nothing; > upper case and
// < lower case for the positions that follow (<> ends both); ! is accepted and changes nothing here; \ makes the
// next character a literal; _ stands for a literal blank; every other character is a literal. The second field
// ("1" or "0", default "1") says whether the literals are part of the value; the third is the character shown in an
// unfilled position (default "_").
//
// The edit text has one character per position: literals stand in theirs, unfilled input positions show the blank
// character. Typing overwrites; the text never changes its length. Digit positions take the Persian and
// Arabic-Indic digits of the Persian keyboard as the digits 0 to 9.
class TEditMask {
public:
    explicit TEditMask(std::wstring_view mask);

    std::size_t Length() const noexcept { return FPositions.size(); }
    wchar_t Blank() const noexcept { return FBlank; }
    bool SavesLiterals() const noexcept { return FSaveLiterals; }
    bool IsLiteral(std::size_t position) const;

    // The edit text with every input position unfilled.
    std::wstring EmptyText() const;
    // Any text put into the box (a value or an edit text) as an edit text: its characters fill the input positions
    // in order; a literal of the mask in the text leaves the rest of its group unfilled and is matched with the
    // next literal position; a character that fits no position is dropped.
    std::wstring Format(std::wstring_view text) const;
    // The value of an edit text: unfilled positions read as blanks, literals kept only when the mask saves them.
    std::wstring Value(std::wstring_view editText) const;

    // An edit: the new text and where the caret stands.
    struct TEdit {
        std::wstring text;
        std::size_t caret = 0;
        bool operator==(const TEdit&) const = default;
    };
    // The character typed over the selection [start, end) (an empty selection at the caret): the selection is
    // cleared and the character goes into the first input position at or after start; the caret moves past it and
    // past the literals that follow. A character that is the next literal jumps past it instead. nullopt when the
    // character is refused (nothing changes then).
    std::optional<TEdit> Type(std::wstring_view editText, std::size_t start, std::size_t end, wchar_t ch) const;
    // Text pasted over the selection: typed character by character; refused characters are dropped.
    TEdit Paste(std::wstring_view editText, std::size_t start, std::size_t end, std::wstring_view text) const;
    // Backspace (backwards) or Delete: clears the input positions of the selection; without a selection removes the
    // character before (Backspace) or at (Delete) the caret from its group of input positions, the rest of the
    // group moving up and its last position becoming unfilled.
    TEdit Erase(std::wstring_view editText, std::size_t start, std::size_t end, bool backwards) const;

private:
    enum class TKind { Literal, Digit, DigitOrSign, Letter, AlphaNum, Any };
    enum class TCase { Keep, Upper, Lower };
    struct TPosition {
        TKind kind;
        wchar_t literal;  // Literal
        bool required;
        TCase letterCase;
    };

    // The character stored for ch at an input position, or nullopt when it does not fit.
    std::optional<wchar_t> Accept(const TPosition& position, wchar_t ch) const;
    std::size_t NextInput(std::size_t position) const;  // Length() when there is none
    bool IsLiteralCharacter(wchar_t ch) const;
    std::wstring Normalised(std::wstring_view editText) const;
    void Clear(std::wstring& text, std::size_t start, std::size_t end) const;

    std::vector<TPosition> FPositions;
    bool FSaveLiterals = true;
    wchar_t FBlank = L'_';
};
