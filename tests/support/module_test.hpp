// Shared by the gateway tests: load a module built for the embedded host and
// check the outcome of calls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "mexhost.hpp"

inline mexhost::Module load_module(const std::string& name) {
    return mexhost::Module(std::string(MEX_MODULE_DIR) + "/" + name + ".mexa64");
}

// The call failed with exactly this identifier and message.
inline void expect_error(const mexhost::CallResult& result, const std::string& identifier,
                         const std::string& message) {
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.identifier, identifier);
    EXPECT_EQ(result.message, message);
    EXPECT_TRUE(result.outputs.empty());
}

// The call succeeded; its outputs are returned.
inline const std::vector<mexhost::Array>& expect_success(const mexhost::CallResult& result) {
    EXPECT_FALSE(result.failed) << result.identifier << ": " << result.message;
    return result.outputs;
}

// The same for a call's temporary result: the outputs are moved out, so no
// reference to the expired result can be kept.
inline std::vector<mexhost::Array> expect_success(mexhost::CallResult&& result) {
    expect_success(static_cast<const mexhost::CallResult&>(result));
    return std::move(result.outputs);
}

// One call that must fail, for tables of error cases.
struct ErrorCase {
    int nlhs;
    std::vector<mexhost::Array> inputs;
    std::string identifier;  // empty for an error without one
    std::string message;
};

// Every case fails with its identifier and message, and the failures leak nothing.
inline void expect_errors(const mexhost::Module& module, const std::vector<ErrorCase>& cases) {
    const size_t before = mexhost::live_allocations();
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.message);
        expect_error(module.call(c.nlhs, c.inputs), c.identifier, c.message);
    }
    EXPECT_EQ(mexhost::live_allocations(), before);
}
