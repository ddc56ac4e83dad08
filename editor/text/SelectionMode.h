#pragma once

// How a selection grows when the user selects: as a stream of characters, in
// whole lines, or as a rectangular block of columns. The editor's toolbar
// chooses it; the search and the print engine read a selection in it.
enum class SelectionMode { Normal, Lines, Column };
