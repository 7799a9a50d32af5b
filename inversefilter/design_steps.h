// What the two designs (inverse_design.h, dipole_design.h) do alike: the checks at their entry,
// the choice of the direct transforms, and the band edges they take from the block.
#pragma once

#include "frame/xfm.h"
#include "inversefilter/designer_params.h"
#include "inversefilter/kirkeby.h"

// False at once, without a message and without touching anything, for lengths outside the rule
// (N a design length, A a power of two up to kMaxTransformLength: design_lengths.h); then the
// regularisation check of design_checks.h, whose message comes before any progress display.
bool DesignInputAccepted(long A, long N, const DesignerParams* params);

// The direct transforms serve whenever N, or the run's filter length (nonPow2), is not a power
// of two.
bool UsesDirectTransforms(long N, bool nonPow2);

// BandEdges on the N-point grid from the block's cut frequencies and transition width and the
// instance's sample rate.
BandEdgeBins DesignBandEdges(long N, const DesignerParams* params, const XFMINSTANCE* instance);
