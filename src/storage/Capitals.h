#pragma once

// Amounts written in Chinese capital numerals, as bills and other financial documents carry
// them: every position is written with its unit, zeros included, nothing collapsed.

#include <QString>

// The capital numeral of one digit character ("3" → "叁"); any other text gives "拾".
QString DigitToCapital(const QString &digit);

// The capitals of an amount given as a string of decimal digits in fen (hundredths of a yuan,
// no point): "12345" → "壹佰　贰拾　叁元　肆角　伍分　". Each unit word ends in a full-width
// space. Positions above the millions go on in the same pattern (仟, 亿, 拾, 佰, 仟, 万, …),
// so no digit is ever dropped.
QString AmountToCapitals(const QString &fenDigits);

// The unit word of a position counted from the lowest (0 = "分　", 1 = "角　", 2 = "元　", …).
QString CapitalUnit(int position);
