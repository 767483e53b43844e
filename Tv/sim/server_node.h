#pragma once
// The server class of nodes.

// Registers the class's maker with the server factory.
void RegisterServerNode();
