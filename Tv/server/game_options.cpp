#include "Tv/server/game_options.h"

#include "core/vector_bytes.h"

GameOptionsRecord GameOptions;

namespace {

void WriteColour(ByteWriter& out, const Colour& c) {
    out.U32(c.Packed);
    out.F32(c.Red);
    out.F32(c.Green);
    out.F32(c.Blue);
    out.F32(c.Alpha);
    out.U32(c.Flags);
}

void ReadColour(ByteReader& in, Colour& c) {
    c.Packed = in.U32();
    c.Red = in.F32();
    c.Green = in.F32();
    c.Blue = in.F32();
    c.Alpha = in.F32();
    c.Flags = in.U32();
}

} // namespace

void WriteGameOptions(ByteWriter& out, const GameOptionsRecord& o) {
    out.Bytes(o.WaitState, kWaitStateSize);
    out.U8(o.EchoOn);
    out.Zeros(1);
    out.I32(o.LowDetailShapes);
    out.U8(o.ControlsDisabled);
    out.U8(o.OverheadView);
    out.Zeros(2);
    for (int32_t v : {o.ConsolePopupMaxLines, o.ConsoleState, o.FrontEndOption36, o.FrontEndOption40, o.LevelShadowsOn,
                      o.FrontEndOption48, o.FrontEndOption52, o.FrontEndOption56, o.Difficulty})
        out.I32(v);
    WriteColour(out, o.SunColour);
    WriteVector3(out, o.SunDirection);
    out.F32(o.SunValue);
    out.I32(o.LevelStatus);
    out.I32(o.SessionOption);
    for (int32_t stat : o.MissionStats) out.I32(stat);
    out.I32(o.TrainingArea);
    out.F32(o.CameraMaxZoom);
    out.Zeros(4);
}

bool ReadGameOptions(ByteReader& in, GameOptionsRecord& options) {
    if (!in.Has(kGameOptionsSize)) return false;
    GameOptionsRecord o;
    in.Bytes(o.WaitState, kWaitStateSize);
    o.EchoOn = in.U8();
    in.Skip(1);
    o.LowDetailShapes = in.I32();
    o.ControlsDisabled = in.U8();
    o.OverheadView = in.U8();
    in.Skip(2);
    for (int32_t* v : {&o.ConsolePopupMaxLines, &o.ConsoleState, &o.FrontEndOption36, &o.FrontEndOption40,
                       &o.LevelShadowsOn, &o.FrontEndOption48, &o.FrontEndOption52, &o.FrontEndOption56, &o.Difficulty})
        *v = in.I32();
    ReadColour(in, o.SunColour);
    o.SunDirection = ReadVector3(in);
    o.SunValue = in.F32();
    o.LevelStatus = in.I32();
    o.SessionOption = in.I32();
    for (int32_t& stat : o.MissionStats) stat = in.I32();
    o.TrainingArea = in.I32();
    o.CameraMaxZoom = in.F32();
    in.Skip(4);
    if (!in.ok()) return false;
    options = o;
    return true;
}

void TvResetMissionStats(bool all) {
    for (int32_t i = 0; i < kMissionStatCount; ++i)
        if (all || i == kStatLevelLosses) GameOptions.MissionStats[i] = 0;
}

void TvCountShots(int32_t team, int32_t shots) {
    if (team == 2)
        GameOptions.MissionStats[kStatEnemyShots] += shots;
    else if (team != 0)
        GameOptions.MissionStats[kStatPlayerShots] += shots;
}
