#pragma once

#include <stdexcept>
#include <string>

namespace kurvo {

class EQornError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A caller's mistake, with the system's own message.
class EQornKurvoError : public EQornError {
public:
    using EQornError::EQornError;
};

}  // namespace kurvo
