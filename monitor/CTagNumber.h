#pragma once
// The unit's tag number: 16 bytes of the language's code page in 8
// registers (9606-9613), two characters a register, the first in the low
// byte; NUL-padded, without a terminator when all 16 bytes are used.
#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

class CCodePageEncoder;

class CTagNumber
{
public:
    static constexpr int kRegister = 9606;
    static constexpr int kRegisterCount = 8;
    static constexpr int kBytes = 16;
    // The most characters the user may type.
    static constexpr int kMaxCharacters = 16;

    using Registers = std::array<std::uint16_t, kRegisterCount>;

    // The text in the code page, cut to the whole characters that fit in 16
    // bytes: a double-byte character that would not fit is left out whole.
    static QByteArray Encode(const QString& text, const CCodePageEncoder& encoder);
    static Registers ToRegisters(const QByteArray& bytes);
    // The characters before the first NUL.
    static QString FromRegisters(const Registers& words, const CCodePageEncoder& encoder);
    // The registers that write the text back: those read when the text is
    // still what they show, since bytes the code page does not define, or
    // that it defines twice, do not come back from their text.
    static Registers ToWrite(const QString& text, const Registers& read, const CCodePageEncoder& encoder);
};
