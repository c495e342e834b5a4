// The held-out subjects per fold below which cross-validation scores say
// little: a held-out case alone in its node adds nothing to its score, so
// with few held-out cases per fold most of them add nothing. korva warns
// before such a run, and korva report marks such a table as unreliable.
#pragma once

inline constexpr int min_reliable_held_out = 10;
