// Texts of the media-control error numbers. They follow the classic wording
// where it still makes sense here, and say what to do on this system.
#include "platform/mci/mci_errors.h"

namespace qv {

QString MciGetErrorString(int code) {
    using namespace mcierr;
    switch (code) {
        case kInvalidDeviceId:
            return "Invalid MCI device ID. Use the ID returned when opening the MCI device.";
        case kUnrecognizedKeyword:
            return "The driver cannot recognize the specified command parameter.";
        case kUnrecognizedCommand:
            return "The driver cannot recognize the specified command.";
        case kHardware:
            return "There is a problem with your media device. Make sure it is working correctly.";
        case kInvalidDeviceName:
            return "The specified device is not open or is not recognized by MCI.";
        case kOutOfMemory:
            return "Not enough memory available for this task.";
        case kDeviceOpen:
            return "The device name is already being used as an alias by this application. Use "
                   "a unique alias.";
        case kCannotLoadDriver:
            return "There is an undetectable problem in loading the specified device driver.";
        case kMissingCommandString:
            return "No command was specified.";
        case kParamOverflow:
            return "The output string was too large to fit in the return buffer.";
        case kMissingStringArgument:
            return "The specified command requires a character-string parameter. Please provide "
                   "one.";
        case kBadInteger:
            return "The specified integer is invalid for this command.";
        case kDriverInternal:
            return "There is a problem with the device driver.";
        case kMissingParameter:
            return "The specified command requires a parameter. Please supply one.";
        case kUnsupportedFunction:
            return "The MCI device you are using does not support the specified command.";
        case kFileNotFound:
            return "Cannot find the specified file. Make sure the path and filename are correct.";
        case kDeviceNotReady:
            return "The device driver is not ready: the file did not become ready to play in "
                   "time.";
        case kInternal:
            return "A problem occurred in initializing MCI.";
        case kDriver:
            return "There is a problem with the device driver. The driver has closed.";
        case kCannotUseAll:
            return "Cannot use 'all' as the device name with the specified command.";
        case kExtensionNotFound:
            return "Cannot determine the device type from the given filename extension.";
        case kOutOfRange:
            return "The specified parameter is out of range for the specified command.";
        case kDeviceTypeRequired:
            return "Cannot find the specified device. Make sure it is installed or that the "
                   "device name is spelled correctly.";
        case kDuplicateAlias:
            return "The specified alias is already being used in this application. Use a unique "
                   "alias.";
        case kMissingDeviceName:
            return "The specified command requires an alias, file, driver, or device name. "
                   "Please supply one.";
        case kBadTimeFormat:
            return "The specified value for the time format is invalid.";
        case kNoClosingQuote:
            return "A closing double-quotation mark is missing from the parameter value. Please "
                   "supply one.";
        case kDuplicateFlags:
            return "A parameter or value was specified twice. Only specify it once.";
        case kInvalidFile:
            return "The specified file cannot be played on the specified MCI device. The file "
                   "may be corrupt, or not in the correct format.";
        case kFilenameRequired:
            return "A filename is required for this command.";
        case kExtraCharacters:
            return "Cannot specify extra characters after a string enclosed in quotation marks.";
        case kDeviceNotInstalled:
            return "The specified device is not installed on this system.";
        case kSeqNoMidiPresent:
            return "MIDI files cannot be played: no General MIDI soundfont (.sf2/.sf3) was "
                   "found. Install one, for example the Debian package timgm6mb-soundfont, into "
                   "/usr/share/sounds/sf2 or ~/.local/share/sounds/sf2.";
        case kFileRead:
            return "A problem occurred in reading the specified file. Make sure the file is "
                   "still present and readable.";
        default:
            return {};
    }
}

}  // namespace qv
