function run_tests(moduledir)
%RUN_TESTS  Run every test_*.m file in this folder against the modules in MODULEDIR.
%   Each test file is a function returning a cell array of handles to its
%   test cases; a case passes when it returns without error. Prints one line
%   per failure and a closing 'N passed, N failed' line, and exits with a
%   non-zero status when anything failed.
here = fileparts(mfilename('fullpath'));
addpath(moduledir);
addpath(here);
files = dir(fullfile(here, 'test_*.m'));
passed = 0;
failed = 0;
for f = 1:numel(files)
  [~, suite] = fileparts(files(f).name);
  cases = feval(suite);
  for k = 1:numel(cases)
    name = sprintf('%s/%s', suite, func2str(cases{k}));
    try
      cases{k}();
      passed = passed + 1;
    catch err
      failed = failed + 1;
      fprintf('FAILED %s: %s\n', name, err.message);
    end
  end
end
fprintf('octave: %d passed, %d failed\n', passed, failed);
if failed > 0
  exit(1);
end
end
