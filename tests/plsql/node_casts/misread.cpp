// Fixture of the node cast check: a list field read as a block.
astNodeBlock* body = reinterpret_cast<astNodeBlock*>(handler->body);
