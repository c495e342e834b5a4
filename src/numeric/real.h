// The stored real type: every real value of the program is kept in IEEE single
// precision; arithmetic between stored values is done in double and rounded to
// real exactly where a value is stored.
#pragma once

using real = float;
