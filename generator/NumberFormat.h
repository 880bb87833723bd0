// The user's number separators. Key-ins and INI values need "." as the decimal separator, so the
// program sets the user's separators to "." and "," while it runs and gives them back at its end.
#pragma once

namespace vtl::NumberFormat {

// Reads the user's separators into Variablen().SavedDecimal and SavedThousand and sets them to
// "." and "," where they differ.
void setNumberSeparators();

// Writes back each separator that start-up read and changed. A separator that was not read
// (empty) is left as it is, so nothing the user never had is written. Safe to call twice.
void restoreNumberSeparators();

}  // namespace vtl::NumberFormat
