// The view's decode step: one handed-over sentence into the fix.
#include "Intake.h"

#include "CNmeaDecoder.h"
#include "NmeaChecksum.h"

namespace varno::gps {

bool intakeSentence(CNmeaDecoder& dec, std::string_view sentence)
{
    if (!NmeaChecksumOk(sentence))
        return false;
    const std::string_view address = sentence.substr(1, 5); // size >= 5 after the check
    const std::string_view data =
        sentence.size() > 7 ? sentence.substr(7, kIntakeDataLimit) : std::string_view{};
    return dec.DecodeSentence(address, data);
}

} // namespace varno::gps
