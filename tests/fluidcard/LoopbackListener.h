// A TCP socket listening on a free port of the loopback address, for the stand-in servers
// and relays of the server card's tests.
#pragma once

struct CLoopbackListener
{
    // Opens the socket; fd stays -1 when it cannot.
    static CLoopbackListener Open();

    int fd = -1;
    int port = 0;
};
