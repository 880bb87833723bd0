// The run state of one ISOGEN header file: its text, lines and the three run tables.
#pragma once

namespace vtl {

struct HeaderData {
};

}  // namespace vtl
