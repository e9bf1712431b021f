function offsets_nanfill(moddir, repeats, format)
%OFFSETS_NANFILL  Octave peers and end-to-end times of pairwise_offsets and fill_nan.
%   Run from the shell, with and without huge pages for Octave's arrays:
%
%      octave-cli --eval "addpath('bench/peers'); offsets_nanfill('build/release/octave')"
%      GLIBC_TUNABLES=glibc.malloc.hugetlb=1 octave-cli --eval "..."
%
%   Prints the median of several calls: Octave's implicit expansion against
%   pairwise_offsets, and Y = X; Y(isnan(Y)) = v against fill_nan, on 10^8
%   doubles and 10^8 singles with 1 % NaN. REPEATS calls each (default 5).
%
%   offsets_nanfill(moddir, repeats, 'json') prints instead one line of JSON,
%   the rows of bench/peers/peer_output.py, for bench/report.py.
addpath(moddir);
if nargin < 2
  repeats = 5;
end
as_json = nargin > 2 && strcmp(format, 'json');
rows = {};
shapes = [5000 5000; 20000 2000];
for k = 1:2
  m = shapes(k, 1); n = shapes(k, 2);
  p = 2000 * rand(m, 2) - 1000;
  q = 2000 * rand(n, 2) - 1000;
  t_peer = median_time(@() expansion(p, q), repeats);
  t_mex = median_time(@() offsets(p, q), repeats);
  rows(end+1:end+2) = {row('octave_implicit_expansion', sprintf('%dx%d', m, n), t_peer, repeats), ...
                       row('octave_pairwise_offsets', sprintf('%dx%d', m, n), t_mex, repeats)};
  if as_json
    continue
  end
  printf('octave implicit expansion m=%d n=%d: %8.1f ms %6.2f ns/entry\n', m, n, t_peer * 1e3, t_peer / (m * n) * 1e9);
  printf('octave pairwise_offsets   m=%d n=%d: %8.1f ms %6.2f ns/entry\n', m, n, t_mex * 1e3, t_mex / (m * n) * 1e9);
end
clear p q
count = 1e8;
for cls = {'double', 'single'}
  x = rand(count, 1, cls{1});
  x(rand(count, 1) < 0.01) = NaN;
  t_peer = median_time(@() assign_fill(x, 0), repeats);
  t_mex = median_time(@() nan_fill(x, 0), repeats);
  bytes = count * (1 + strcmp(cls{1}, 'double')) * 4;
  size_text = sprintf('%d %s', count, cls{1});
  rows(end+1:end+2) = {row('octave_isnan_assign', size_text, t_peer, repeats), ...
                       row('octave_fill_nan', size_text, t_mex, repeats)};
  clear x
  if as_json
    continue
  end
  printf('octave Y(isnan(Y)) = v %s n=%d: %8.1f ms %6.2f GB/s\n', cls{1}, count, t_peer * 1e3, bytes / t_peer / 1e9);
  printf('octave fill_nan        %s n=%d: %8.1f ms %6.2f GB/s\n', cls{1}, count, t_mex * 1e3, bytes / t_mex / 1e9);
end
if as_json
  printf('%s\n', jsonencode(struct('peer', 'octave', 'info', struct('octave', version()), 'rows', {rows})));
end
end

function r = row(name, size_text, seconds, repeats)
% One row of bench/peers/peer_output.py (the median only).
r = struct('case', name, 'size', size_text, 'median_s', seconds, 'repeats', repeats);
end

function t = median_time(f, repeats)
times = zeros(repeats, 1);
for r = 1:repeats
  start = tic;
  f();
  times(r) = toc(start);
end
t = median(times);
end

function expansion(p, q)
dx = q(:, 1).' - p(:, 1);
dy = q(:, 2).' - p(:, 2);
end

function offsets(p, q)
[dx, dy] = pairwise_offsets(p, q);
end

function nan_fill(x, v)
y = fill_nan(x, v);
end

function assign_fill(x, v)
y = x;
y(isnan(y)) = v;
end
