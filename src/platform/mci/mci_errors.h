// The media-control error numbers this interface answers with (the classic
// Windows values, so scripts and logs read the same) and their texts.
#pragma once

#include <QString>

namespace qv {

namespace mcierr {
constexpr int kBase = 256;
constexpr int kInvalidDeviceId = 257;
constexpr int kUnrecognizedKeyword = 259;
constexpr int kUnrecognizedCommand = 261;
constexpr int kHardware = 262;
constexpr int kInvalidDeviceName = 263;
constexpr int kOutOfMemory = 264;
constexpr int kDeviceOpen = 265;
constexpr int kCannotLoadDriver = 266;
constexpr int kMissingCommandString = 267;
constexpr int kParamOverflow = 268;
constexpr int kMissingStringArgument = 269;
constexpr int kBadInteger = 270;
constexpr int kDriverInternal = 272;
constexpr int kMissingParameter = 273;
constexpr int kUnsupportedFunction = 274;
constexpr int kFileNotFound = 275;
constexpr int kDeviceNotReady = 276;
constexpr int kInternal = 277;
constexpr int kDriver = 278;
constexpr int kCannotUseAll = 279;
constexpr int kExtensionNotFound = 281;
constexpr int kOutOfRange = 282;
constexpr int kDeviceTypeRequired = 287;
constexpr int kDuplicateAlias = 289;
constexpr int kMissingDeviceName = 292;
constexpr int kBadTimeFormat = 293;
constexpr int kNoClosingQuote = 294;
constexpr int kDuplicateFlags = 295;
constexpr int kInvalidFile = 296;
constexpr int kFilenameRequired = 304;
constexpr int kExtraCharacters = 305;
constexpr int kDeviceNotInstalled = 306;
constexpr int kSeqNoMidiPresent = 343;
constexpr int kFileRead = 348;
}  // namespace mcierr

// The text of an error number; "" for 0 and for numbers this interface never
// gives.
QString MciGetErrorString(int code);

}  // namespace qv
