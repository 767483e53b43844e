#pragma once
// The handlers of the client-to-server catalogue's rows, grouped by concern
// in client_order_*.cpp. Each is called by the dispatcher on the server
// thread with a record that fits its row; a record naming an actor the sender
// may not command, or a value out of range, is dropped (DropClientRecord)
// and changes nothing.

#include "Tv/server/client_message_catalogue.h"

// Moves (client_order_group.cpp): 8 and 33.
DrainStep HandleGroupOrder(plat::DpId sender, const uint8_t* record, uint32_t size);

// Unit orders (client_order_units.cpp).
DrainStep HandleStop(plat::DpId sender, const uint8_t* record,
                     uint32_t size); // 9
DrainStep HandleHeadFor(plat::DpId sender, const uint8_t* record,
                        uint32_t size); // 23, 24
DrainStep HandleStandingOrder(plat::DpId sender, const uint8_t* record,
                              uint32_t size); // 27
DrainStep HandleUnitOrder(plat::DpId sender, const uint8_t* record,
                          uint32_t size); // 28, 34, 35, 37
DrainStep HandleHoldOthers(plat::DpId sender, const uint8_t* record,
                           uint32_t size); // 38

// Bot orders (client_order_attacks.cpp).
DrainStep HandleAttackPoint(plat::DpId sender, const uint8_t* record,
                            uint32_t size); // 10, 12, 29, 31, 43
DrainStep HandleAttackActor(plat::DpId sender, const uint8_t* record,
                            uint32_t size); // 11, 13, 30, 32
DrainStep HandleCeaseFire(plat::DpId sender, const uint8_t* record,
                          uint32_t size); // 14
DrainStep HandleSelectAmmo(plat::DpId sender, const uint8_t* record,
                           uint32_t size); // 25, 26

// The lead character's special shot (client_order_lead_power.cpp): 39.
DrainStep HandleLeadPower(plat::DpId sender, const uint8_t* record, uint32_t size);

// Items (client_order_items.cpp).
DrainStep HandleEquipItem(plat::DpId sender, const uint8_t* record,
                          uint32_t size); // 15, 16
DrainStep HandleItemOrder(plat::DpId sender, const uint8_t* record,
                          uint32_t size); // 17 to 22

// Direct control (client_order_motion.cpp): 59, 61.
DrainStep HandleMotionState(plat::DpId sender, const uint8_t* record, uint32_t size);

// Teams: mines and pauses (client_order_teams.cpp).
DrainStep HandleDetonateTeamMines(plat::DpId sender, const uint8_t* record,
                                  uint32_t size); // 47
DrainStep HandleDetonateMine(plat::DpId sender, const uint8_t* record,
                             uint32_t size); // 48
DrainStep HandleTeamPause(plat::DpId sender, const uint8_t* record,
                          uint32_t size); // 49
DrainStep HandleTeamResume(plat::DpId sender, const uint8_t* record,
                           uint32_t size); // 50

// Session, lobby and clock (client_order_session.cpp).
DrainStep HandleChat(plat::DpId sender, const uint8_t* record,
                     uint32_t size); // 40
DrainStep HandleLobbyMessage(plat::DpId sender, const uint8_t* record,
                             uint32_t size); // 42, 44, 45, 46
DrainStep HandleRemoveActor(plat::DpId sender, const uint8_t* record,
                            uint32_t size); // 36
DrainStep HandleClockResyncRequest(plat::DpId sender, const uint8_t* record,
                                   uint32_t size); // 51
DrainStep HandleCancelCutscene(plat::DpId sender, const uint8_t* record,
                               uint32_t size); // 53
DrainStep HandleTimeReport(plat::DpId sender, const uint8_t* record,
                           uint32_t size); // 54
