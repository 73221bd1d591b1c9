// A library by the hook library's name that lacks three of its four exports.
#include <cstdlib>
extern "C" __attribute__((visibility("default"))) void HookOn() { std::abort(); }
