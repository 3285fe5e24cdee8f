#pragma once
// The two spectrum decoders: the L or K spectrum of a reading for plotting,
// and all spectrum data of a record for export.

#include <vector>

#include "core/readings/record.h"

namespace ravik {

enum class SpectrumKind { Low, High };

// A spectrum shorter than this many channels counts as absent.
inline constexpr int kMinimumSpectrumChannels = 150;
// Each channel is repeated lowStep / 100 (or highStep / 100) times; a scale
// that asks for more repeats than this is damaged and the spectrum absent.
inline constexpr int kMaximumChannelRepeat = 64;

// The channel counts of the L or K spectrum, each channel repeated as the
// scale says. Empty when the spectrum is absent (fewer than 150 channels,
// channels outside the record, or a damaged scale).
std::vector<float> DecodeSpectrum(Bytes record, SpectrumKind which);

// The instrument number, the four channel counts, the eight floats at block
// bytes 12..43, then every channel; empty when the record has no spectrum
// block. Channels that lie outside the record are not included (the counts
// are then lowered to what is there).
std::vector<float> DecodeSpectraForExport(Bytes record);

}  // namespace ravik
