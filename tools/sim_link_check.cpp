// simulation link check: a program that holds every object of the simulation library and
// links no GL, so a GL call in the simulation fails the build. It does nothing when run.
int main() { return 0; }
