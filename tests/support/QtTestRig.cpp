// The window tests' rig. Compiling this file builds the precompiled header of the Qt and standard
// headers the tests share (tests/CMakeLists.txt); each test reuses it instead of parsing them again.
