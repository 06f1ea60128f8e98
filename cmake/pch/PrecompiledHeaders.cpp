// The target that compiles the precompiled headers (PrecompiledHeaders.h); it holds no code.
