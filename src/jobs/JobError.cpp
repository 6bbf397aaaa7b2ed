#include "jobs/JobError.h"

#include "files/FileError.h"

#include <exception>
#include <new>

namespace kalvex {

JobError errorFromCurrentException(const std::string& context) noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return {context + ": out of memory", {}};
    } catch (const JobRefusal& refusal) {
        return {refusal.what(), {}};
    } catch (const files::FileError& error) {
        return {error.what(), {}}; // "Cannot <do> "<file>": <reason>"
    } catch (const std::exception& error) {
        return {context + ": " + error.what(), {}};
    } catch (...) {
        return {context + ": an unknown failure", {}};
    }
}

} // namespace kalvex
