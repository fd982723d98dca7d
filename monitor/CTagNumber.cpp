#include "CTagNumber.h"

#include "foundation/CCodePageEncoder.h"

QByteArray CTagNumber::Encode(const QString& text, const CCodePageEncoder& encoder)
{
    QByteArray bytes;
    // Character by character, so the cut falls between characters.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = encoder.Encode(text.mid(i, length));
        if (bytes.size() + character.size() > kBytes)
            break;
        bytes += character;
        i += length;
    }
    return bytes;
}

CTagNumber::Registers CTagNumber::ToRegisters(const QByteArray& bytes)
{
    Registers words{};
    for (int i = 0; i < kBytes && i < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(i)));
        words[static_cast<std::size_t>(i / 2)] |= i % 2 ? static_cast<std::uint16_t>(byte << 8) : byte;
    }
    return words;
}

QString CTagNumber::FromRegisters(const Registers& words, const CCodePageEncoder& encoder)
{
    QByteArray bytes;
    for (std::uint16_t word : words) {
        bytes.append(static_cast<char>(word & 0xFF));
        bytes.append(static_cast<char>(word >> 8));
    }
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    return encoder.Decode(bytes);
}

CTagNumber::Registers CTagNumber::ToWrite(const QString& text, const Registers& read, const CCodePageEncoder& encoder)
{
    if (text == FromRegisters(read, encoder))
        return read;
    return ToRegisters(Encode(text, encoder));
}
