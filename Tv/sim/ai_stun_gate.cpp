#include "Tv/sim/ai_stun_gate.h"

#include "Tv/sim/server_object.h"

bool AiPassesStunAndConversion(ServerObject& actor, Real now) {
    if (now < actor.StunEnd) return false;
    if (actor.StunEnd != 0) actor.EndStun();
    if (actor.ConvertEnd != 0 && now > actor.ConvertEnd) {
        actor.EndConversion();
        return false;
    }
    return true;
}
