#pragma once

// The codes PDFPrinter takes for its font family, style and cell alignment arguments, named
// once for every document written with it.
namespace tarvik::pdf {

inline constexpr long kArial = 0; // the sans-serif family, written in Helvetica
inline constexpr long kRegular = 0;
inline constexpr long kBold = 2;

inline constexpr long kAlignLeft = 0;
inline constexpr long kAlignCentre = 1;
inline constexpr long kAlignRight = 2;
inline constexpr long kAlignJustified = 3;

} // namespace tarvik::pdf
