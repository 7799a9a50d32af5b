// The captions and texts that the designs and the cepstral processing show in the host's
// progress display, in the order they appear. They are the system's own, letter for letter:
// the misspellings, the Italian, the double blank and the blanks at the ends are meant, so
// nobody should "fix" them.
#pragma once

// DesignInverseFilter (inverse_design.h).
inline constexpr char kInverseCaption[] = "Designing inverse filter...";
inline constexpr char kInverseDftText[] = "Calculating DFT H...";  // path D
inline constexpr char kInvertModulusText[] = "Invert Modulus ...";
// Whenever N is not a power of two; two blanks before "1/H".
inline constexpr char kInverseIdftText[] = "Calculating IDFT  1/H";

// DesignStereoDipole (dipole_design.h); the four texts of a kind are those of HLL, HLR, HRL and
// HRR, in that order.
inline constexpr char kDipoleCaption[] = "Designing stereo dipole filter...";
inline constexpr const char* kDipoleDftTexts[4] = {  // path D
    "Calculating DFT HLL...", "Calculating DFT HLR...", "Calculating DFT HRL...",
    "Calculating DFT HRR..."};
inline constexpr char kReducingLengthText[] = "Reducing length to IFL";  // path R
inline constexpr const char* kDipoleIdftTexts[4] = {                     // N not a power of two
    "Calculating IDFT 1/HLL...", "Calculating IDFT 1/HLR...", "Calculating IDFT 1/HRL...",
    "Calculating IDFT 1/HRR..."};

// CepstrumDFT (cepstrum.h) shows these, one per step.
inline constexpr char kCepstrumStartText[] = "Initalizing Cepstrum procedure...";
inline constexpr char kCepstrumPolarText[] = "H, calcolo modulo e fase...";
inline constexpr char kCepstrumLogText[] = "Calcolo il log del modulo...";
inline constexpr char kCepstrumIdftText[] = "Calc. IDFT(log|H|)...";
inline constexpr char kCepstrumDftText[] = "Calc. DFT(Cepstrum)...";
inline constexpr char kMinimumPhaseText[] = "Finding mp(t) i.r. ";
inline constexpr char kExcessPhaseText[] = "Finding Hep";
inline constexpr char kExcessPolarText[] = "Calc. |Hep| and Arg(Hep) ...";
inline constexpr char kAveragingPhaseText[] = "Averaging Arg(Hep) ";
inline constexpr char kAveragingMagnitudeText[] = "Averaging |Hmp|";
inline constexpr char kRebuildText[] = "Ricao H'=H_MP*H_EP";
// CepstrumFFT shows only this one, at the logarithm.
inline constexpr char kCepstrumFftLogText[] = "Log| |";
