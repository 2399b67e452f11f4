// The fixed texts of the options-file machinery, in one place. The format
// strings are UTF-8 printf formats for wyx::oo::formatMessage.
#pragma once

namespace persist::msg {

// Text form (EParserError, each wrapped by kAtLine).
inline constexpr char kAtLine[] = "%s in Zeile %d";
inline constexpr char kEncodingExpected[] = "ANSI- oder UTF8-Codierung erwartet";
inline constexpr char kExpected[] = "%s erwartet";
inline constexpr char kIdentifierExpected[] = "Bezeichner erwartet";
inline constexpr char kNumberExpected[] = "Zahl erwartet";
inline constexpr char kStringExpected[] = "String erwartet";
inline constexpr char kCharExpected[] = "''%s'' erwartet";
inline constexpr char kInvalidString[] = "Ungültige Stringkonstante";
inline constexpr char kInvalidBinary[] = "Ungültiger Binärwert";
inline constexpr char kLineTooLong[] = "Zeile zu lang";
inline constexpr char kNestingTooDeep[] = "Verschachtelung zu tief";

// Number conversion (EConvertError, no line).
inline constexpr char kInvalidInteger[] = "''%s'' ist kein gültiger Integer-Wert";
inline constexpr char kInvalidFloat[] = "'%s' ist kein gültiger Gleitkommawert";

// Binary form and loading.
inline constexpr char kInvalidPropertyValue[] = "Ungültiger Eigenschaftswert";
inline constexpr char kInvalidStreamFormat[] = "Ungültiges Stream-Format";
inline constexpr char kReadError[] = "Stream-Lesefehler";
inline constexpr char kInvalidName[] = "''%s'' ist kein gültiger Komponentenname";
inline constexpr char kClassNotFound[] = "Klasse %s nicht gefunden";
inline constexpr char kUnknownProperty[] = "Eigenschaft %s existiert nicht";
inline constexpr char kInvalidPropertyPath[] = "Ungültiger Pfad für Eigenschaft";
inline constexpr char kReadOnlyProperty[] = "Eigenschaft kann nur gelesen werden";
inline constexpr char kErrorReading[] = "Fehler beim Lesen von %s%s%s: %s";
inline constexpr char kCannotOpenFile[] = "Datei %s kann nicht geöffnet werden. %s";

}  // namespace persist::msg
