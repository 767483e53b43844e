#pragma once
// Game message type numbers (one number space 0 to 203 for both directions;
// client-to-server types lie between 4 and 61) of the messages the server
// core builds or reads.

#include <cstdint>

// Client to server.
constexpr int32_t MSG_SPEED_ACK = 4;         // 8: sequence
constexpr int32_t MSG_READY = 6;             // 4
constexpr int32_t MSG_WAITING_FOR_GO = 7;    // 4
constexpr int32_t MSG_GROUP_ORDER = 8;
constexpr int32_t MSG_STOP = 9;
constexpr int32_t MSG_ATTACK_POINT = 10;
constexpr int32_t MSG_ATTACK_ACTOR = 11;
constexpr int32_t MSG_ATTACK_POINT_ALT = 12;
constexpr int32_t MSG_ATTACK_ACTOR_ALT = 13;
constexpr int32_t MSG_CEASE_FIRE = 14;
constexpr int32_t MSG_EQUIP_ITEM = 15;
constexpr int32_t MSG_QUEUE_EQUIP_ITEM = 16;
constexpr int32_t MSG_USE_ITEM = 17;
constexpr int32_t MSG_QUEUE_USE_ITEM = 18;
constexpr int32_t MSG_DROP_ITEM = 19;
constexpr int32_t MSG_QUEUE_DROP_ITEM = 20;
constexpr int32_t MSG_REMOVE_ITEM = 21;
constexpr int32_t MSG_QUEUE_REMOVE_ITEM = 22;
constexpr int32_t MSG_HEAD_FOR = 23;
constexpr int32_t MSG_QUEUE_HEAD_FOR = 24;
constexpr int32_t MSG_SELECT_AMMO = 25;
constexpr int32_t MSG_QUEUE_SELECT_AMMO = 26;
constexpr int32_t MSG_STANDING_ORDER = 27;
constexpr int32_t MSG_TOGGLE_STANCE = 28;
constexpr int32_t MSG_QUEUE_ATTACK_POINT = 29;
constexpr int32_t MSG_QUEUE_ATTACK_ACTOR = 30;
constexpr int32_t MSG_QUEUE_ATTACK_POINT_ALT = 31;
constexpr int32_t MSG_QUEUE_ATTACK_ACTOR_ALT = 32;
constexpr int32_t MSG_GROUP_ORDER_QUEUED = 33;
constexpr int32_t MSG_QUEUE_TOGGLE_STANCE = 34;
constexpr int32_t MSG_DROP_QUEUED_ORDERS = 35;
constexpr int32_t MSG_REMOVE_ACTOR = 36;
constexpr int32_t MSG_RELEASE_HOLD = 37;
constexpr int32_t MSG_HOLD_OTHERS = 38;
constexpr int32_t MSG_LEAD_POWER = 39;
constexpr int32_t MSG_CHAT = 40;
constexpr int32_t MSG_PLAYER_OPTION = 42;
constexpr int32_t MSG_LAUNCH_DECOY = 43;
constexpr int32_t MSG_CYCLE_LOBBY_CHOICE = 44;
constexpr int32_t MSG_PLAYER_READY = 45;
constexpr int32_t MSG_PLAYER_NOT_READY = 46;
constexpr int32_t MSG_DETONATE_TEAM_MINES = 47;
constexpr int32_t MSG_DETONATE_MINE = 48;
constexpr int32_t MSG_TEAM_PAUSE = 49;
constexpr int32_t MSG_TEAM_RESUME = 50;
constexpr int32_t MSG_CLOCK_RESYNC_REQUEST = 51;
constexpr int32_t MSG_SETTINGS_REQUEST = 52; // 4
constexpr int32_t MSG_CANCEL_CUTSCENE = 53;
constexpr int32_t MSG_TIME_REPORT = 54;
constexpr int32_t MSG_UNIT_MOVING = 59;
constexpr int32_t MSG_UNIT_PLACED = 61;

// Server to client.
constexpr int32_t MSG_START_GAME = 0;
constexpr int32_t MSG_START_GAME_LEVEL_OVER = 1;
constexpr int32_t MSG_GO = 2;
constexpr int32_t MSG_OWNER_NOTICE = 3;
constexpr int32_t MSG_ARE_YOU_READY = 5;
constexpr int32_t MSG_FOLLOW_ORDER_ADDED = 58;
constexpr int32_t MSG_PROJECTILE_FIRED = 70;
constexpr int32_t MSG_REMOVE_OBJECT = 73;
constexpr int32_t MSG_OWNER_CHANGED = 80;
constexpr int32_t MSG_CREATE_OBJECT = 100;
constexpr int32_t MSG_ORDER_HOLD = 101;
constexpr int32_t MSG_RUN_SCRIPT = 103;
constexpr int32_t MSG_END_OF_GAME = 135;
constexpr int32_t MSG_PAUSE = 136;
constexpr int32_t MSG_GAME_SPEED = 137;
constexpr int32_t MSG_CHAT_TEXT = 141;
constexpr int32_t MSG_SET_ARMOUR = 147; // 12: actor id, armour (float)
constexpr int32_t MSG_LOBBY_SETUP = 143;
constexpr int32_t MSG_LOBBY_SETTINGS = 144;
constexpr int32_t MSG_LOBBY_CHOICES = 145;
constexpr int32_t MSG_TEAM_EFFECT = 153;
constexpr int32_t MSG_UNPAUSE = 154;
constexpr int32_t MSG_WINNERS = 156;
constexpr int32_t MSG_PLAYER_NOTICE = 160;
constexpr int32_t MSG_PLAYER_CUE = 161;
constexpr int32_t MSG_SETTINGS_AND_STATS = 162;
constexpr int32_t MSG_END_CUTSCENE = 164;
constexpr int32_t MSG_FLAG_RESET = 165;
constexpr int32_t MSG_PLAYER_TABLE = 200;
constexpr int32_t MSG_PLAYER_LEFT = 201;
constexpr int32_t MSG_CLOCK_SYNC = 202;
constexpr int32_t MSG_SET_CLOCK = 203;

constexpr uint32_t kChatTextField = 255; // a chat text in a message, its terminator included
