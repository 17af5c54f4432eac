// TODO(sim)
