#pragma once

// The application object: one instance per desktop, the skin, and the price bar run modally.
class CTickmonApp {
public:
    int Run();
};
