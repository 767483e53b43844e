#pragma once
// Game message type numbers (one number space 0 to 203 for both directions;
// client-to-server types lie between 4 and 61) of the messages the server
// core builds or reads.

#include <cstdint>

// Client to server.
constexpr int32_t MSG_SPEED_ACK = 4;         // 8: sequence
constexpr int32_t MSG_READY = 6;             // 4
constexpr int32_t MSG_WAITING_FOR_GO = 7;    // 4
constexpr int32_t MSG_SETTINGS_REQUEST = 52; // 4

// Server to client.
constexpr int32_t MSG_START_GAME = 0;
constexpr int32_t MSG_START_GAME_LEVEL_OVER = 1;
constexpr int32_t MSG_GO = 2;
constexpr int32_t MSG_OWNER_NOTICE = 3;
constexpr int32_t MSG_ARE_YOU_READY = 5;
constexpr int32_t MSG_PROJECTILE_FIRED = 70;
constexpr int32_t MSG_REMOVE_OBJECT = 73;
constexpr int32_t MSG_OWNER_CHANGED = 80;
constexpr int32_t MSG_CREATE_OBJECT = 100;
constexpr int32_t MSG_RUN_SCRIPT = 103;
constexpr int32_t MSG_END_OF_GAME = 135;
constexpr int32_t MSG_PAUSE = 136;
constexpr int32_t MSG_GAME_SPEED = 137;
constexpr int32_t MSG_CHAT_TEXT = 141;
constexpr int32_t MSG_SET_ARMOUR = 147; // 12: actor id, armour (float)
constexpr int32_t MSG_LOBBY_SETUP = 143;
constexpr int32_t MSG_LOBBY_SETTINGS = 144;
constexpr int32_t MSG_LOBBY_CHOICES = 145;
constexpr int32_t MSG_UNPAUSE = 154;
constexpr int32_t MSG_WINNERS = 156;
constexpr int32_t MSG_PLAYER_NOTICE = 160;
constexpr int32_t MSG_PLAYER_CUE = 161;
constexpr int32_t MSG_SETTINGS_AND_STATS = 162;
constexpr int32_t MSG_FLAG_RESET = 165;
constexpr int32_t MSG_PLAYER_TABLE = 200;
constexpr int32_t MSG_PLAYER_LEFT = 201;

constexpr uint32_t kChatTextField = 255; // a chat text in a message, its terminator included
