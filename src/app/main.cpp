#include "kapp.h"

int main(int argc, char** argv) { return kolvarin::KolvarinMain(argc, argv); }
