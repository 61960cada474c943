// The test templates join the registry for every test of this program.
#include "framework/module.h"

extern const nuv::fw::ResourceTexts framework_test_resources;

namespace {
const nuv::fw::Module g_test_module("framework tests", &framework_test_resources, {});
}  // namespace
