#pragma once
// Saving and loading the server's actors: the actor blocks of a saved game.
//
// Per actor the file holds an entry: the image size (GetSize), the projectile
// flag, the image (a synthetic record built from the class's offset table,
// actor_image.h: a class tag in bytes 0-3, the fields the loader uses at their
// offsets, every other byte zero), the definition id, the actor id and the
// actor's state record. Everything that refers to another object is stored as
// an id, key or index: the reader parks ids in the actors' Saved* fields and
// the fix-up turns them back into references once every actor and inventory
// exists.
//
// Loading runs in steps because the saved-game code puts other blocks and the
// level-start handshake between them:
//   TvLoadActors        the actor counter and every entry;
//   (the caller starts all actors: TvStartAllActors)
//   TvLoadInventories   the inventory block;
//   TvFixUpLoadedActors every actor's fix-up.
// Each step runs on the main thread holding the server lock (or on the server
// thread) and answers false on the first short read, out-of-range value or
// unknown id; the saved-game code then abandons the file.

class ByteReader;
class ByteWriter;
class ServerObject;
struct ActorImage;

// ---- The actor block ----

// Writes ActorIdCounter, the number of actors in ServerActorHash, then one
// entry per actor in the hash's order (buckets ascending, each chain from its
// head). False when an actor's state record cannot be written.
bool TvSaveActors(ByteWriter& out);

// Reads what TvSaveActors wrote. Per entry: the image's tag must name a
// class and agree with the projectile flag and the image size; the actor is
// built from the image's team, position and orientation (a projectile from
// its origin, shooter and damage kind) with the saved definition, re-keyed to
// the saved id, checked against the image (GetSize and class tag), restored
// by TvReadActorState and given its definition. Then ActorIdCounter := the
// saved counter. Fails on an unknown definition, a saved id used twice, taken
// by an actor already registered or not below the saved counter, an actor
// registered before the load whose id the saved counter would hand out again,
// and on any false from TvReadActorState; on failure every actor this call
// built is discarded again (unannounced) and the counter is left as it was.
// The actors are built without starting; each is marked Loaded, so that its
// start keeps what was restored.
bool TvLoadActors(ByteReader& in);

// ---- One actor ----

// Appends the actor's state record (after its entry's actor id): heap
// contents, AI target and vulnerabilities; for units equipment, orders, goal
// polygon, waypoints, stored waypoints and senses; for bots the weapon,
// ammunition item and fire target; for centipede segments and heads the next
// segment (id + 1, 0 for none); for projectiles the target; for pickups the
// script and key texts; for track objects the riders. Saved references are
// id + 1 or key + 1 with 0 for none, polygons their index in the level world's
// table.
bool TvWriteActorState(ByteWriter& out, ServerObject& actor);

// Restores a freshly built, re-keyed actor from its image and reads its state
// record. Ids and keys of other objects wait in the Saved* fields; orders and
// the goal polygon resolve their polygon indices at once (an index beyond the
// level world's table gives none). The saved vulnerabilities replace the ones
// the actor was built with (an entry whose role is unknown is dropped). False
// on a short read and on a length, count or enum value the file cannot hold
// (AI core, team, path state, order type, mount slot, weapon and ammunition
// type, vulnerability effect); what was read before stays in the actor, which
// the caller then discards.
bool TvReadActorState(ByteReader& in, ServerObject& actor, const ActorImage& image);

// The second pass over one loaded actor, once all actors and inventories are
// loaded: heap contents, AI target, AI core (a disabled unit stays without AI
// callbacks), the AI start callback; a unit's equipment (a record whose key
// is not in its inventory is dropped), crouch message (77); a bot's
// ammunition item and fire target; the centipede chain (message 138 per
// link); a projectile's target; a track object's riders (each once) and, when
// not running, the relinking of its class polygons; a popup saved raised
// rises again at fast speed (message 75). Always true.
bool TvFixUpLoadedActor(ServerObject& actor);

// TvFixUpLoadedActor for every registered actor (a snapshot walk holding a
// reference on each). Always true.
bool TvFixUpLoadedActors();

// ---- Inventories ----

// The inventory block: the number of actors whose GetInventory answers one,
// NextInventoryItemId, then per such actor in hash order its id, its item
// count (end marker excluded) and its items as 56-byte records.
bool TvSaveInventories(ByteWriter& out);

// Reads the inventory block: NextInventoryItemId is restored, and each item
// is inserted at the front of its owner's inventory (so the items come back
// in reverse order ahead of the end marker) with its model, shape and name
// derived again. Fails on an owner that names no loaded actor or one without
// an inventory, an item whose definition or ammunition row does not exist, a
// kind out of range or a count the remaining bytes cannot hold.
bool TvLoadInventories(ByteReader& in);
