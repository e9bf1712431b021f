function tests = test_toolkit_demo
tests = {@demo_recovers_centres_and_one_skeleton};
end

function demo_recovers_centres_and_one_skeleton
here = fileparts(mfilename('fullpath'));
addpath(fullfile(here, '..', '..', 'examples'));
workdir = tempname();
result = [];
evalc('result = toolkit_demo(workdir);');
if exist('OCTAVE_VERSION', 'builtin')
  confirm_recursive_rmdir(false, 'local');
end
rmdir(workdir, 's');
assert(isequal(result.geometry, [96 96 40]));
% Noise of 0.03 on unit-peak spots: every centre within a tenth of a voxel.
assert(max(abs(result.errors(:))) < 0.1);
assert(~result.normality_rejected);
% The tube is one trunk forking in two: one piece with three ends.
assert(result.components == 1);
assert(result.end_points == 3);
assert(result.branch_points == 1);
end
