#pragma once
// The default item: a definition whose "interface beam delay" is 0 or more
// makes each of its actors vulnerable to the interface beam ("zudad" firing
// "interface_beam"), with the definition's delay, effect, script and
// duration. The bot applies it like any other vulnerability.

class ServerObject;

// Gives the actor its own record (once: nothing when its list already has one
// for those two definitions, or when the level lacks either of them).
void GiveDefaultItem(ServerObject* actor);
// Installs GiveDefaultItem as the server's default-item hook.
void RegisterDefaultItem();
