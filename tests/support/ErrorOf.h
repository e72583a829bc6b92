#pragma once

#include "db/DataError.h"

#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// The error `call` throws; a failure when it throws none.
inline db::DataError errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const db::DataError &e) {
        return e;
    }
    ADD_FAILURE() << "no DataError";
    return db::DataError(db::DataError::Kind::File, {});
}

} // namespace testsupport
