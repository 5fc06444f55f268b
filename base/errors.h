#pragma once

#include "../canvas/kurvo_export.h"

#include <stdexcept>
#include <string>

namespace kurvo {

class KURVO_EXPORT EQornError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A caller's mistake, with the system's own message.
class KURVO_EXPORT EQornKurvoError : public EQornError {
public:
    using EQornError::EQornError;
};

}  // namespace kurvo
