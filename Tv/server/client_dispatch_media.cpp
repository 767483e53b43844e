// Sound, caption and script messages.

#include <iterator>
#include <string>

#include "Tv/client/client_objects.h"
#include "Tv/client/client_sounds.h"
#include "Tv/console/console_hooks.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/message_types.h"
#include "Tv/server/object_caption.h"
#include "Tv/server/server.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/server_message_fields.h"

namespace {

constexpr int32_t kObjectCaptionKind = 1;

// A file name of the scripts directory: no directory part, no parent, no drive.
bool IsPlainScriptName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name.find("..") == std::string::npos;
}

const char* HandleRunScript(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    std::string name;
    in.CString(name);
    if (!IsPlainScriptName(name)) return "script name is not a plain file name";
    // The host runs the script from the script queue.
    if (TvIsServerRunning()) return nullptr;
    DataDirEnter(kDataDirScripts);
    TvBatchLoadFile(name.c_str());
    DataDirRestore();
    return nullptr;
}

const char* HandleSound(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    TvPlaySound(in.I32(), "");
    return nullptr;
}

// The data after the sound number is not passed on: no sender fills it, and
// the sound system must not read the record.
const char* HandleSoundOptions(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    TvPlaySound(in.I32(), "l");
    return nullptr;
}

const char* HandleSoundOnObject(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t sound = in.I32();
    const ClientObject* object = ReadRecordObject(in);
    if (object && object->Model) TvPlaySound(sound, "t", object->Model);
    return nullptr;
}

const char* HandleObjectCaption(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const ClientObject* object = ReadRecordObject(in);
    std::string text;
    in.CString(text);
    if (object) TvShowObjectCaption(*object, text.c_str(), kObjectCaptionKind);
    return nullptr;
}

} // namespace

const ServerMessageRow kMediaMessageRows[] = {
    TextsRow(MSG_RUN_SCRIPT, "MSG_RUN_SCRIPT", 4, 1, HandleRunScript),
    ExactRow(114, "MSG_SOUND", 8, HandleSound),
    AtLeastRow(115, "MSG_SOUND_OPTIONS", 8, HandleSoundOptions),
    ExactRow(116, "MSG_SOUND_ON_OBJECT", 12, HandleSoundOnObject),
    TextsRow(179, "MSG_OBJECT_CAPTION", 8, 1, HandleObjectCaption),
};
const size_t kMediaMessageRowCount = std::size(kMediaMessageRows);
