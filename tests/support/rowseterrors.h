#pragma once
// The refusal a row-set file test expects.
#include "connection/rowsetfile.h"

#include <QString>
#include <gtest/gtest.h>

namespace zel::test {

// The message of the RowSetFileError `work` throws; fails the test when it throws none.
template <class F> QString errorOf(F&& work) {
    try {
        work();
    } catch (const RowSetFileError& e) {
        return e.message();
    }
    ADD_FAILURE() << "no RowSetFileError was thrown";
    return {};
}

} // namespace zel::test
