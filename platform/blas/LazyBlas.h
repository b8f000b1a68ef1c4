// The lazily loaded BLAS (see LazyBlas.S): what a test may ask of it.
#pragma once

namespace vemlor::blas {

// Whether the first CBLAS call has loaded the library yet.
bool loaded();
// Where calls of the CBLAS function `name` go now (a stub before loading).
const void* target(const char* name);

} // namespace vemlor::blas
